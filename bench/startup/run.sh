#!/usr/bin/env bash
# Start-up time of the main program on an existing data folder with 10,000
# entries, from process start to its window being mapped, median of 7 rounds
# that take each kind of start in turn:
#  startup.quillock_ms    a start on the files the last run left: their schema
#                         verdicts are kept, no checker runs
#  startup.unchecked_ms   a start that knows no verdict (the first on a copied
#                         folder, or after a crash): the checker runs
#  startup.check_ms       the checker run for a start's table files on its own
#  startup.check_file_ms  the same for one file
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
data=$(mktemp -d /tmp/ql-bench-start.XXXXXX)
trap 'rm -rf "$data"' EXIT
"$build/bench/startup/populate_entries" "$data" 10000 100
starts=$("$root/tests/support/x11-session.sh" --no-wm bash "$root/bench/startup/rounds.sh" "$build" "$data" 7)
median() { sort -n | sed -n 4p; }
echo "startup.quillock_ms $(echo "$starts" | awk '{ print $1 }' | median) ms"
echo "startup.unchecked_ms $(echo "$starts" | awk '{ print $2 }' | median) ms"
checks=$("$build/bench/startup/measure_checks" "$data" 7)
echo "startup.check_ms $(echo "$checks" | awk '{ print $1 }' | median) ms"
echo "startup.check_file_ms $(echo "$checks" | awk '{ print $2 }' | median) ms"
