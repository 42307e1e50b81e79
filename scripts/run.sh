#!/usr/bin/env bash
# Installs what is needed, builds, and starts Quillock on the default data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh Debug build
data="${XDG_DATA_HOME:-$HOME/.local/share}/quillock"
mkdir -p -m 700 "$data"
exec ./build/app/quillock "Data=$data"
