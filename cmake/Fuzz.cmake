# ql_fuzz_target(NAME SOURCES ... [FLAGS ...] [SEEDS dir] [SEED_MAKER target]
#                [SECONDS n] [MAX_LEN n])
# A libFuzzer build of one parser, made with clang beside the main build (only
# our own sources are instrumented; Qt and other libraries are the system's;
# FLAGS are extra compiler and linker flags for them), and a
# CTest entry labelled "fuzz" that runs it for a bounded time on its seeds:
# the files under SEEDS and/or those SEED_MAKER (a program of the main build)
# writes into the folder it is given. Without clang the run is skipped (77).
# SOURCES are paths under the project's root.
find_program(QL_CLANGXX clang++)

function(ql_fuzz_target name)
  cmake_parse_arguments(ARG "" "SEEDS;SEED_MAKER;SECONDS;MAX_LEN" "SOURCES;FLAGS" ${ARGN})
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 30)
  endif()
  if(NOT ARG_MAX_LEN)
    set(ARG_MAX_LEN 65536)
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(fuzzer none)
  if(QL_CLANGXX)
    set(fuzzer ${work}/${name})
    list(TRANSFORM ARG_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
    file(MAKE_DIRECTORY ${work})
    add_custom_command(OUTPUT ${fuzzer}
      COMMAND ${QL_CLANGXX} -std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer
              -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
              -I${PROJECT_SOURCE_DIR}
              "-I$<JOIN:$<TARGET_PROPERTY:Qt6::Core,INTERFACE_INCLUDE_DIRECTORIES>,;-I>"
              ${ARG_SOURCES} $<TARGET_FILE:Qt6::Core> ${ARG_FLAGS} -o ${fuzzer}
      DEPENDS ${ARG_SOURCES}
      COMMAND_EXPAND_LISTS VERBATIM
      COMMENT "Building the fuzz target ${name} with clang")
    add_custom_target(${name} ALL DEPENDS ${fuzzer})
  endif()
  set(seeds none)
  if(ARG_SEEDS)
    set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_SEEDS})
  endif()
  set(maker none)
  if(ARG_SEED_MAKER)
    set(maker $<TARGET_FILE:${ARG_SEED_MAKER}>)
  endif()
  add_test(NAME ${name}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/support/run-fuzz.sh ${fuzzer} ${ARG_SECONDS}
                   ${ARG_MAX_LEN} ${seeds} ${maker})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400 LABELS "fuzz")
endfunction()
