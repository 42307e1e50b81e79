#!/usr/bin/env bash
# The monitor program in the tray, on a data folder of 10,000 entries:
#   qlmon.start_ms      from spawn until its icon is embedded in the tray
#                       (median of 7), with qlmon.start_empty_ms, the same on a
#                       folder without entries, as the same-run baseline,
#                       and qlmon.start_ratio, the median of the rounds' ratios;
#   qlmon.idle_cpu_pct  CPU used over 60 s in the tray while 20 watched
#                       entries wait for windows that never appear (monitor
#                       cycle and icon animation running every 0.75 s).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
work=$(mktemp -d /tmp/ql-bench-qlmon.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bench/qlmon/qlmon_prepare" "$work/full" 10000 20
"$build/bench/qlmon/qlmon_prepare" "$work/empty" 0 0
inner="$work/inner.sh"
cat >"$inner" <<INNER
set -e
# One start of the main program fills the settings, as on any machine where it ran.
for folder in "$work/full" "$work/empty"; do
  "$build/app/quillock" "Data=\$folder" >/dev/null 2>&1 &
  timeout 30 xdotool search --sync --onlyvisible --pid \$! --name '^Quillock\$' >/dev/null
  kill \$!; wait \$! || true
done
host="$build/bench/qlmon/qlmon_tray_host"
for round in 1 2 3 4 5 6 7; do
  "\$host" start 1 "$build/app/qlmon" "Data=$work/empty" >>"$work/empty.ms"
  "\$host" start 1 "$build/app/qlmon" "Data=$work/full" >>"$work/full.ms"
done
"\$host" idle ${QLMON_IDLE_SECONDS:-60} "$build/app/qlmon" "Data=$work/full" >"$work/idle.pct"
INNER
"$root/tests/support/x11-session.sh" bash "$inner"
median() { sort -n "$1" | sed -n 4p; }
echo "qlmon.start_ms $(median "$work/full.ms") ms"
echo "qlmon.start_empty_ms $(median "$work/empty.ms") ms"
# Each round's full start over its empty start, taken in turns: the share of
# the start that the entries cost, steadier than either time on a shared machine.
paste "$work/full.ms" "$work/empty.ms" | awk '{ printf "%.3f\n", $1 / $2 }' >"$work/ratio"
echo "qlmon.start_ratio $(median "$work/ratio") ratio"
echo "qlmon.idle_cpu_pct $(cat "$work/idle.pct") %"
