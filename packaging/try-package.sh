#!/usr/bin/env bash
# Tries the Debian package on this machine as a user would: builds it from an
# optimized build, installs it with apt-get, reads the manual page, starts
# Quillock from its menu entry in a private X11 session and saves a screenshot,
# then purges the package and checks that none of its files is left.
# Changes the machine's installed packages: run it as root, by hand, not in CI.
# Usage: packaging/try-package.sh [BUILD_DIR] [SCREENSHOT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release} shot=${2:-$PWD/$build/installed-quillock.png}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target programs
(cd "$build" && rm -f quillock_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quillock_*.deb)
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
# Recommends left out: what the package recommends stays off a build machine.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y --no-install-recommends)
"${apt[@]}" install "./$deb"
files=$(mktemp)
trap 'rm -f "$files"' EXIT
dpkg -L quillock >"$files"
quillock --version
qlmon --version
MANPAGER=cat man quillock | head -n 12
bash tests/support/x11-session.sh bash -c '
  exec_line=$(sed -n "s/^Exec=//p" /usr/share/applications/quillock.desktop)
  $exec_line & pid=$!
  sleep 6
  import -window root "$1"
  ls -ld "$XDG_DATA_HOME/quillock"
  kill $pid; wait $pid || true' try "$shot"
echo "screenshot: $shot"
"${apt[@]}" purge quillock
left=0
while read -r f; do
  [ -f "$f" ] || [ -L "$f" ] || continue
  echo "left behind: $f"; left=1
done <"$files"
[ "$left" -eq 0 ] && echo "quillock removed, no file left"
