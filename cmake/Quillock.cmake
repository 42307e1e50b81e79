# Shared helpers for every subsystem's CMakeLists.txt.

set(QL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                -Wno-missing-field-initializers)

# ql_library(NAME SOURCES ... [LIBS ...]) -- one static library per subsystem.
function(ql_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QL_WARNINGS})
  target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LIBS})
endfunction()

# ql_test(NAME SOURCES ... [LIBS ...] [X11 | WAYLAND | MUTTER | GNOME_SHELL | KWIN [WITH file...]
#         [SESSION rig options...]]) -- a GoogleTest
# executable run by CTest. X11 tests run inside tests/support/x11-session.sh
# (Xvfb, openbox, private D-Bus); WAYLAND tests inside
# tests/support/wayland-session.sh (headless sway with XWayland, private D-Bus;
# MUTTER: headless GNOME compositor with the desktop portal instead;
# GNOME_SHELL: GNOME's shell over it, with the portal and GNOME's settings; KWIN:
# headless KWin instead), which copies the test and the WITH files (programs it
# starts; generator expressions allowed) where the session's user reaches them.
function(ql_test name)
  cmake_parse_arguments(ARG "X11;WAYLAND;MUTTER;GNOME_SHELL;KWIN" "TIMEOUT" "SOURCES;LIBS;WITH;SESSION" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  # Opening a table runs the schema checker built beside the programs.
  add_dependencies(${name} ql_schema_check)
  if(ARG_X11)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/support/x11-session.sh $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES LABELS "x11")
  elseif(ARG_WAYLAND OR ARG_MUTTER OR ARG_GNOME_SHELL OR ARG_KWIN)
    if(ARG_MUTTER)
      set(compositor --compositor mutter)
    elseif(ARG_GNOME_SHELL)
      set(compositor --compositor gnome-shell)
    elseif(ARG_KWIN)
      set(compositor --compositor kwin)
    else()
      set(compositor)
    endif()
    # The programs and the test open tables from the copy: the checker goes along.
    set(with --with $<TARGET_FILE:ql_schema_check>)
    foreach(f ${ARG_WITH})
      list(APPEND with --with ${f})
    endforeach()
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/support/wayland-session.sh ${compositor} ${ARG_SESSION} ${with}
                     $<TARGET_FILE:${name}>)
    set(label wayland)
    if(ARG_KWIN)
      set(label "wayland;kwin")
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${label}" SKIP_RETURN_CODE 77)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# Installed places (GNU layout). Files shipped with the programs go to
# share/quillock; the programs find them from their own folder, so the
# relative way from bin to there is built in.
include(GNUInstallDirs)
set(QL_INSTALL_SHAREDIR ${CMAKE_INSTALL_DATADIR}/quillock)
file(RELATIVE_PATH QL_SHARED_FROM_PROGRAMS ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/quillock)
