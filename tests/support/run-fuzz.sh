#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time on a fresh copy of its seeds and
# fails on any crash, leak, timeout or undefined behaviour, printing the
# failing input. Usage: run-fuzz.sh FUZZER SECONDS MAX_LEN SEED_DIR SEED_MAKER
# FUZZER is "none" when the build found no clang (the run exits 77, skipped);
# SEED_DIR and SEED_MAKER may each be "none".
set -euo pipefail
fuzzer=$1 seconds=$2 max_len=$3 seeds=$4 maker=$5
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
[ "$seeds" = none ] || cp "$seeds"/* "$work/corpus/"
[ "$maker" = none ] || "$maker" "$work/corpus"
# libFuzzer's own failure status is 77, which would read as "skipped".
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
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
