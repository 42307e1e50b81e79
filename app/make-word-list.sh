#!/usr/bin/env bash
# Makes the generator's word list from a system dictionary: lower-case ASCII
# words of 3 to 20 letters, one a line, each once.
# Usage: make-word-list.sh DICTIONARY OUTPUT
set -euo pipefail
source=$1
target=$2
[ -r "$source" ] || { echo "make-word-list: no dictionary at $source (install wamerican)" >&2; exit 1; }
LC_ALL=C grep -E '^[a-z]{3,20}$' "$source" | LC_ALL=C sort -u > "$target.tmp"
count=$(wc -l < "$target.tmp")
# Every length from 3 to 15 letters must be there several times over.
for length in $(seq 3 15); do
  n=$(LC_ALL=C grep -cE "^[a-z]{$length}\$" "$target.tmp" || true)
  [ "$n" -ge 5 ] || { echo "make-word-list: only $n words of $length letters" >&2; exit 1; }
done
[ "$count" -ge 10000 ] || { echo "make-word-list: only $count words" >&2; exit 1; }
mv "$target.tmp" "$target"
