#!/usr/bin/env bash
# Configures and builds Quillock. Usage: scripts/build.sh [Debug|Release] [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
type=${1:-Debug}
dir=${2:-build}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$dir" -j "$(nproc)"
