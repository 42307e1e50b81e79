#!/usr/bin/env bash
# Runs the monitor benchmark inside a private X session with a window manager.
# QL_BENCH_IDLE_SECONDS shortens the idle measurement (default 60 s).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
exec "$root/tests/support/x11-session.sh" "$build/bench/monitor/bench_monitor"
