#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (end-to-end tests under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh Debug build
cd build
ctest --output-on-failure --no-tests=error -j 2 "$@"
