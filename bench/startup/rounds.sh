#!/usr/bin/env bash
# Inside the benchmark's X session: one start to create the settings, then
# ROUNDS rounds of two starts in turn, one on the files the last run left
# (their verdicts kept in the user's cache folder) and one that finds no kept
# verdict (the first start on a copied folder, or after a crash), which runs
# the checker. Prints "known_ms unchecked_ms" per round.
# Usage: rounds.sh BUILD DATA ROUNDS
set -euo pipefail
build=$1 data=$2 rounds=$3
export XDG_CACHE_HOME="$HOME/.cache"
kept="$XDG_CACHE_HOME/quillock/checked-tables"
start() { "$build/bench/startup/measure_start" 1 Quillock "$build/app/quillock" "Data=$data"; }
start >/dev/null
for _ in $(seq "$rounds"); do
  known=$(start)
  rm -f "$kept"
  unchecked=$(start)
  echo "$known $unchecked"
done
