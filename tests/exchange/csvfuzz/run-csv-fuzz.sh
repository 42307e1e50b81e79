#!/usr/bin/env bash
# Runs the comma-separated file fuzzer for a bounded time on a copy of its
# seed corpus. Usage: run-csv-fuzz.sh FUZZER SEED_DIR SECONDS
# FUZZER is "none" when the build found no clang: the run exits 77 (skipped).
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
if [ "$fuzzer" = none ]; then
  echo "skipped: no clang++ to build the fuzzer (scripts/install-deps.sh installs clang and libclang-rt-14-dev)"
  exit 77
fi
if [ ! -x "$fuzzer" ]; then
  echo "the fuzzer was not built: $fuzzer" >&2
  exit 1
fi
work=$(mktemp -d /tmp/ql-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp "$seeds"/* "$work/corpus/"
# libFuzzer's own failure status is 77, which would read as "skipped".
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -error_exitcode=1 -timeout_exitcode=1 \
  -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1 && status=0 || status=$?
if [ "$status" -eq 0 ]; then
  tail -n 6 "$work/log"
else
  grep -v '^#[0-9]' "$work/log" | tail -n 200
  for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-*; do
    [ -e "$crash" ] && { echo "failing input: $crash"; base64 "$crash"; }
  done
fi
exit "$status"
