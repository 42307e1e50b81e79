#!/usr/bin/env bash
# Runs the entry form benchmark inside a private X session with a window manager.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
exec "$root/tests/support/x11-session.sh" "$build/bench/entries/bench_entries"
