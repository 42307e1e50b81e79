#!/usr/bin/env bash
# The main frame's timer: cost of one tick, and the idle program's CPU use.
# QL_BENCH_IDLE_SECONDS shortens the idle measurement (default 60 s).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
seconds=${QL_BENCH_IDLE_SECONDS:-60}
"$root/tests/support/x11-session.sh" "$build/bench/frame/bench_frame"

data=$(mktemp -d /tmp/ql-bench-frame.XXXXXX)
trap 'rm -rf "$data"' EXIT
# A command-line run makes the tables (and fails: there is no such user), as
# on any machine where the program ran before: a new folder's first start
# would wait for an answer to its passphrase offer.
QT_QPA_PLATFORM=offscreen "$build/app/quillock" "Data=$data" Sync=Out User=nobody Password=x \
  "File=$data.syn" >/dev/null 2>&1 || true
idle() {
  "$1" "Data=$2" >/dev/null 2>&1 &
  local pid=$! ticks=$(getconf CLK_TCK)
  sleep 3 # past start-up
  local before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$3"
  local after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  awk -v a="$after" -v b="$before" -v t="$ticks" -v s="$3" \
      'BEGIN { printf "frame.idle_cpu_pct %.2f %%\n", 100 * (a - b) / t / s }'
}
export -f idle
"$root/tests/support/x11-session.sh" bash -c "idle '$build/app/quillock' '$data' '$seconds'"
