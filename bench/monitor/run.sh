#!/usr/bin/env bash
# Runs the monitor benchmark inside a private X session with a window manager,
# then its Wayland part inside a private headless sway and a headless KWin.
# QL_BENCH_IDLE_SECONDS shortens the idle measurement (default 60 s).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
"$root/tests/support/x11-session.sh" "$build/bench/monitor/bench_monitor"
out=$(mktemp -d /tmp/ql-bench-monitor.XXXXXX)
trap 'rm -rf "$out"' EXIT
cd "$out"
"$root/tests/support/wayland-session.sh" --with "$build/bench/monitor/bench_window_crowd" \
  "$build/bench/monitor/bench_monitor_wayland"
"$root/tests/support/wayland-session.sh" --compositor kwin --with "$build/bench/monitor/bench_window_crowd" \
  "$build/bench/monitor/bench_monitor_wayland" monitor.kwin
