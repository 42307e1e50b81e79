#!/usr/bin/env bash
# The password list benchmark: a data folder with 100,000 entries of one user
# and 1,000 of another, the list's timings inside a private X session with a
# window manager, then the main program's resident memory with the list of
# 100,000 entries open.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
data=$(mktemp -d /tmp/ql-bench-list.XXXXXX)
trap 'rm -rf "$data"' EXIT
"$build/bench/list/populate_list" "$data"
"$root/tests/support/x11-session.sh" "$build/bench/list/bench_list" "$data"
"$root/tests/support/x11-session.sh" bash "$root/bench/list/resident.sh" "$build/app/quillock" "$data"
