#!/usr/bin/env bash
# Start-up time of the main program on an existing data folder with 10,000
# entries: median over 7 runs from process start to its window being mapped;
# and what the schema check of its table files adds to it.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
data=$(mktemp -d /tmp/ql-bench-start.XXXXXX)
trap 'rm -rf "$data"' EXIT
"$build/bench/startup/populate_entries" "$data" 10000 100
# One start to create the settings, as on any machine where the program ran before.
times=$("$root/tests/support/x11-session.sh" --no-wm \
        "$build/bench/startup/measure_start" 8 Quillock "$build/app/quillock" "Data=$data")
median=$(echo "$times" | tail -n 7 | sort -n | sed -n 4p)
echo "startup.quillock_ms $median ms"
# The schema check of the start's table files in the checker process, part of
# the start above: all of them in one checker run, and one file alone.
checks=$("$build/bench/startup/measure_checks" "$data" 7)
echo "startup.check_ms $(echo "$checks" | awk '{ print $1 }' | sort -n | sed -n 4p) ms"
echo "startup.check_file_ms $(echo "$checks" | awk '{ print $2 }' | sort -n | sed -n 4p) ms"
