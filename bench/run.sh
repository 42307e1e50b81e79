#!/usr/bin/env bash
# Builds the benchmarks in Release and runs one suite.
# Usage: bash bench/run.sh SUITE   (prints one figure a line: name value unit)
set -euo pipefail
cd "$(dirname "$0")/.."
suite=${1:?usage: bench/run.sh SUITE}
[ -d "bench/$suite" ] || { echo "no such benchmark suite: $suite" >&2; exit 2; }
bash scripts/install-deps.sh >/dev/null
bash scripts/build.sh Release build-release >/dev/null
export QL_BUILD_DIR="$PWD/build-release"
if [ -x "bench/$suite/run.sh" ]; then
  exec "bench/$suite/run.sh"
fi
exec "build-release/bench/$suite/bench_$suite"
