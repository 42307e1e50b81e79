#!/usr/bin/env bash
# Runs scripts/run.sh and scripts/install-deps.sh from a copy of the scripts
# with stand-ins for id, sudo, dpkg-query, apt-get, cmake and the program, and
# checks what they would do. Usage: scripts_check.sh SOURCE_DIR WORK_DIR
set -u
source=$1 work=$2
rm -rf "$work"
mkdir -p "$work/repo/scripts" "$work/fake" "$work/home"
cp "$source/scripts/run.sh" "$source/scripts/install-deps.sh" "$work/repo/scripts/"
failures=0 passes=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then passes=$((passes + 1)); echo "ok: $1"
  else failures=$((failures + 1)); echo "FAILED: $1"; fi
}
fake() { # fake NAME BODY: a command that logs its arguments, then runs BODY
  printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n%s\n' "$1" "$work" "$2" >"$work/fake/$1"
  chmod +x "$work/fake/$1"
}
fake id 'echo "$FAKE_UID"'
fake sudo '"$@"'
fake apt-get 'exit 0'
fake dpkg-query 'case "$*" in *libsodium-dev*) exit 1 ;; *) echo "install ok installed" ;; esac'
fake cmake 'exit 0'
mkdir -p "$work/repo/build-release/app"
printf '#!/bin/sh\necho "quillock $*" >>"%s/calls"\n' "$work" >"$work/repo/build-release/app/quillock"
chmod +x "$work/repo/build-release/app/quillock"
path=$work/fake:$PATH
calls() { cat "$work/calls" 2>/dev/null; }

# An ordinary user: missing packages through sudo, a Release build of the
# programs in build-release, the program on the XDG data folder made private.
rm -f "$work/calls"
env -u XDG_DATA_HOME PATH="$path" FAKE_UID=1000 HOME="$work/home" \
  bash "$work/repo/scripts/run.sh" >"$work/user.log" 2>&1
check "an ordinary user's run installs the missing package through sudo" \
  grep -q "^sudo env DEBIAN_FRONTEND=noninteractive apt-get .*install -y .*libsodium-dev" "$work/calls"
check "only the missing package is installed" eval '! grep -q "install -y.*cmake" "$work/calls"'
check "run.sh configures a Release build in build-release" \
  grep -q "^cmake -S . -B build-release .*-DCMAKE_BUILD_TYPE=Release" "$work/calls"
check "run.sh builds the programs only" grep -q "^cmake --build build-release .*--target programs" "$work/calls"
check "run.sh starts quillock on ~/.local/share/quillock" \
  grep -qx "quillock Data=$work/home/.local/share/quillock" "$work/calls"
check "the data folder is made private" test "$(stat -c %a "$work/home/.local/share/quillock")" = 700
check "no warning about root for an ordinary user" eval '! grep -q root "$work/user.log"'

# As root: apt-get directly, and a word about running as oneself.
rm -f "$work/calls"
PATH="$path" FAKE_UID=0 HOME="$work/home" XDG_DATA_HOME="$work/xdg" \
  bash "$work/repo/scripts/run.sh" >"$work/root.log" 2>&1
check "root installs without sudo" eval '! grep -q "^sudo" "$work/calls" && grep -q "^apt-get .*install" "$work/calls"'
check "root is told to run it as his own user" grep -q "not as root" "$work/root.log"
check "run.sh follows XDG_DATA_HOME" grep -qx "quillock Data=$work/xdg/quillock" "$work/calls"

# An ordinary user without sudo: the missing packages named, nothing run.
rm -f "$work/fake/sudo" "$work/calls"
mkdir -p "$work/nosudo"
for c in id dpkg-query apt-get cmake; do ln -s "$work/fake/$c" "$work/nosudo/$c"; done
for c in bash env grep cat echo; do ln -s "$(command -v $c)" "$work/nosudo/$c"; done
PATH="$work/nosudo" FAKE_UID=1000 "$work/nosudo/bash" "$work/repo/scripts/install-deps.sh" \
  >"$work/nosudo.log" 2>&1
status=$?
check "without sudo install-deps names the missing packages and fails" \
  eval '[ $status -ne 0 ] && grep -q "missing Debian packages: libsodium-dev" "$work/nosudo.log"'
check "without sudo nothing is installed" eval '! grep -q apt-get "$work/calls"'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
