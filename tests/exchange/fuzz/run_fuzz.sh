#!/usr/bin/env bash
# Builds the sync reader's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), writes the seed corpus and fuzzes for a bounded
# time. Fails on any crash, leak or undefined behaviour.
# Usage: run_fuzz.sh SOURCE_DIR SEED_MAKER WORK_DIR [SECONDS]
set -euo pipefail
src=$1 seeds=$2 work=$3 seconds=${4:-60}
mkdir -p "$work"
rm -rf "$work/corpus" "$work/found"
mkdir -p "$work/corpus" "$work/found"
sources=(
  "$src/tests/exchange/fuzz/SyncReaderFuzz.cpp"
  "$src/exchange/SyncFormat.cpp" "$src/exchange/SyncKey.cpp" "$src/exchange/SyncRecordCodec.cpp"
  "$src/exchange/SyncFileReader.cpp"
  "$src/platform/records/Record.cpp" "$src/platform/records/TableDef.cpp" "$src/store/Layouts.cpp"
)
# Only our own code is instrumented; Qt and libsodium are the system's.
clang++ -std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" -I"$src/tests/exchange/fuzz" $(pkg-config --cflags Qt6Core) \
  "${sources[@]}" -o "$work/sync_reader_fuzz" $(pkg-config --libs Qt6Core) -lsodium
"$seeds" "$work/corpus"
cd "$work/found"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$work/sync_reader_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 "$work/corpus"
