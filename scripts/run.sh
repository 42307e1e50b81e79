#!/usr/bin/env bash
# Installs what is needed (through sudo when run by an ordinary user), makes an
# optimized build of the two programs in build-release, and starts Quillock on
# the user's data folder, created private to the user on the first start.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then
  echo "run.sh: a password manager is best run as your own user, not as root" >&2
fi
bash scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j "$(nproc)" --target programs
case "${XDG_DATA_HOME:-}" in
  /*) data_home=$XDG_DATA_HOME ;;
  *) data_home=$HOME/.local/share ;; # unset or relative: the default
esac
data=$data_home/quillock
if [ ! -d "$data" ]; then
  mkdir -p "$data_home"
  mkdir -m 700 "$data"
fi
exec ./build-release/app/quillock "Data=$data"
