#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a folder of
# its own as an installation would, and checks what an installation needs:
# dependencies found, menu entries and metadata valid, the installed programs
# start and find their shipped files. Usage: package_check.sh BUILD_DIR WORK_DIR
set -u
build=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
failures=0 passes=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then passes=$((passes + 1)); echo "ok: $1"
  else failures=$((failures + 1)); echo "FAILED: $1"; fi
}
finish() { echo "$passes passed, $failures failed"; [ "$failures" -eq 0 ]; exit; }
png_size() { # the width and height in a PNG file's header, "W x H"
  od -An -tu4 --endian=big -j16 -N8 "$1" 2>/dev/null | awk '{ print $1 " x " $2 }'
}

# 1. The package: built by cpack, dependencies computed by dpkg-shlibdeps.
(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1
deb=$(ls "$work"/out/quillock_*.deb 2>/dev/null | head -n1)
check "cpack builds the package" test -n "$deb"
[ -n "$deb" ] || { cat "$work/cpack.log"; finish; }
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libsqlcipher0 libsodium23 libxtst6 libzxcvbn0; do
  check "the package depends on $lib" grep -q "$lib" <<<"$depends"
done

# 2. Unpacked into a root of its own: every file in its GNU place.
root=$work/root
dpkg -x "$deb" "$root"
share=$root/usr/share
for f in usr/bin/quillock usr/bin/qlmon usr/libexec/quillock/launch usr/libexec/quillock/ql-schema-check \
         usr/share/quillock/quillock-words.txt usr/share/quillock/KEYCODES.TXT \
         usr/share/applications/quillock.desktop usr/share/applications/qlmon.desktop \
         usr/share/metainfo/org.quillock.quillock.metainfo.xml \
         usr/share/man/man1/quillock.1.gz usr/share/man/man1/qlmon.1.gz \
         usr/share/doc/quillock/quillock-help.html; do
  check "the package holds /$f" test -s "$root/$f"
done
for program in quillock qlmon; do
  check "scalable $program icon" test -s "$share/icons/hicolor/scalable/apps/$program.svg"
  for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$program.png
    check "$program icon of $size pixels" test "$(png_size "$png")" = "$size x $size"
  done
done

# 3. Every library the installed programs need is found.
for program in quillock qlmon; do
  ldd "$root/usr/bin/$program" >"$work/ldd-$program.txt" 2>&1
  check "ldd finds every library of $program" \
    eval '! grep -q "not found" "$work/ldd-$program.txt" && grep -q libQt6Core "$work/ldd-$program.txt"'
done

# 4. Menu entries, metadata and manual pages pass their validators.
for entry in quillock qlmon; do
  check "$entry.desktop is valid" desktop-file-validate "$share/applications/$entry.desktop"
  check "$entry.desktop starts the launcher installed in /usr" \
    grep -qx "Exec=/usr/libexec/quillock/launch $entry" "$share/applications/$entry.desktop"
  access=$share/applications/$entry-wayland-access.desktop
  check "$entry-wayland-access.desktop is valid" desktop-file-validate "$access"
  # KWin grants its window and key protocols to the entry whose Exec is the program.
  check "$entry-wayland-access.desktop names the program and KWin's protocols" \
    sh -c "grep -qx 'Exec=/usr/bin/$entry' '$access' && grep -qx 'NoDisplay=true' '$access' &&
           grep -q '^X-KDE-Wayland-Interfaces=.*org_kde_kwin_fake_input' '$access' &&
           grep -q '^X-KDE-Wayland-Interfaces=.*org_kde_plasma_window_management' '$access'"
done
check "metainfo is valid" appstreamcli validate --no-net "$share/metainfo/org.quillock.quillock.metainfo.xml"
check "metainfo names the licence" \
  grep -q "<project_license>GPL-3.0-or-later</project_license>" "$share/metainfo/org.quillock.quillock.metainfo.xml"
copyright=$share/doc/quillock/copyright
check "the package carries a machine-readable copyright file" \
  eval 'head -n1 "$copyright" | grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" &&
        grep -qx "License: GPL-3.0-or-later" "$copyright"'
check "metainfo names this version" grep -q "version=\"$version\"" "$share/metainfo/org.quillock.quillock.metainfo.xml"
for page in quillock qlmon; do
  zcat "$share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>"$work/man-$page.txt"
  check "manual page of $page formats without warnings" test ! -s "$work/man-$page.txt"
done

# 5. The installed programs answer --version and --help without a display.
env -u DISPLAY "$root/usr/bin/quillock" --version >"$work/version.txt" 2>&1
check "installed quillock --version prints the package's version" \
  test "$(cat "$work/version.txt")" = "quillock $version"
env -u DISPLAY "$root/usr/bin/qlmon" --version >"$work/version.txt" 2>&1
check "installed qlmon --version prints the package's version" \
  test "$(cat "$work/version.txt")" = "qlmon $version"
check "quillock --help names the data and synchronization parameters" \
  eval 'env -u DISPLAY "$root/usr/bin/quillock" --help | grep -q "Data=FOLDER.*" &&
        env -u DISPLAY "$root/usr/bin/quillock" --help | grep -q "/SyncIn"'
env -u DISPLAY "$root/usr/bin/qlmon" --frobnicate >"$work/unknown.txt" 2>&1
status=$?
check "an unknown option is named and refused" \
  eval '[ $status -eq 2 ] && grep -q "unknown option .--frobnicate." "$work/unknown.txt"'

# 6. The installed main program starts and fills the generator's table from
#    the word list in share/quillock.
data=$work/data
mkdir -p -m 700 "$data" "$work/home" "$work/run"
# A command-line run makes the tables (and fails: there is no such user), so
# the start below is no new folder's first start, which would wait for an
# answer to its passphrase offer.
HOME=$work/home XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/quillock" "Data=$data" Sync=Out User=nobody Password=x "File=$work/none.syn" \
  >"$work/tables.log" 2>&1
HOME=$work/home XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/quillock" "Data=$data" >"$work/start.log" 2>&1 &
pid=$!
filled=0
for _ in $(seq 100); do
  [ "$(cat "$data"/qlock_w.tps* 2>/dev/null | wc -c)" -gt 500000 ] && { filled=1; break; }
  kill -0 $pid 2>/dev/null || break
  sleep 0.2
done
kill $pid 2>/dev/null; wait $pid 2>/dev/null
check "installed quillock fills the word table from its shipped list" test "$filled" -eq 1
check "the schema checker is installed in libexec/quillock, not among the commands" \
  test -x "$root/usr/libexec/quillock/ql-schema-check" -a ! -e "$root/usr/bin/ql-schema-check"
ldd "$root/usr/libexec/quillock/ql-schema-check" >"$work/ldd-checker.txt" 2>&1
check "ldd finds every library of the schema checker" eval '! grep -q "not found" "$work/ldd-checker.txt"'

# 7. The launcher of the menu entries: the user's data folder, made private.
mkdir -p "$work/bin" "$work/lhome"
printf '#!/bin/sh\nprintf "%%s\\n" "$@"\n' >"$work/bin/quillock"
chmod +x "$work/bin/quillock"
sed "s|/usr/bin/|$work/bin/|" "$root/usr/libexec/quillock/launch" >"$work/launch"
launched=$(env -u XDG_DATA_HOME HOME="$work/lhome" sh "$work/launch" quillock)
check "launcher starts on ~/.local/share/quillock" \
  test "$launched" = "Data=$work/lhome/.local/share/quillock"
check "launcher makes the data folder private" \
  test "$(stat -c %a "$work/lhome/.local/share/quillock")" = 700
launched=$(XDG_DATA_HOME="$work/xdg" HOME="$work/lhome" sh "$work/launch" quillock)
check "launcher follows XDG_DATA_HOME" test "$launched" = "Data=$work/xdg/quillock"
launched=$(XDG_DATA_HOME=relative HOME="$work/lhome" sh "$work/launch" quillock)
check "launcher ignores a relative XDG_DATA_HOME" \
  test "$launched" = "Data=$work/lhome/.local/share/quillock"
check "launcher refuses other programs" eval '! sh "$work/launch" rm 2>/dev/null'

# 8. An install under another prefix names that prefix, and the programs find
#    their shipped files from there.
DESTDIR=$work/staged cmake --install "$build" --prefix /opt/quillock >"$work/install.log" 2>&1
staged=$work/staged/opt/quillock
check "cmake --install puts the programs in bin under the prefix" test -x "$staged/bin/qlmon"
check "the menu entry starts the launcher under the prefix" \
  grep -qx "Exec=/opt/quillock/libexec/quillock/launch qlmon" "$staged/share/applications/qlmon.desktop"
check "the launcher starts the programs under the prefix" \
  grep -q '^exec "/opt/quillock/bin/$program"' "$staged/libexec/quillock/launch"
check "the schema checker is installed in libexec/quillock under the prefix" \
  test -x "$staged/libexec/quillock/ql-schema-check"
check "the word list is installed in share/quillock under the prefix" \
  test -s "$staged/share/quillock/quillock-words.txt"
finish
