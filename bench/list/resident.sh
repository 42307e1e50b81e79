#!/usr/bin/env bash
# Inside an X session: starts the main program on FOLDER, opens the password
# list of "Big Owner" through File, Passwords and Select User, goes to its end,
# and prints the program's resident memory.
# Usage: resident.sh QUILLOCK FOLDER
set -euo pipefail
program=$1
data=$2
"$program" "Data=$data" &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true' EXIT
# The program's visible window of exactly that title (every criterion must hold).
find_window() {
  local id
  id=$(timeout "${2:-30}" xdotool search --all --sync --onlyvisible --pid "$pid" --name "^$1\$" | head -n1) || true
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
  echo "$id"
}
frame=$(find_window Quillock)
select=""
for attempt in 1 2 3; do
  xdotool windowactivate --sync "$frame"
  sleep 0.5
  xdotool key --clearmodifiers Escape alt+f
  sleep 0.3
  xdotool key --clearmodifiers w
  if select=$(find_window "Select User" 5); then break; fi
done
[ -n "$select" ]
xdotool windowactivate --sync "$select"
xdotool key --clearmodifiers Return
list=$(find_window "Passwords - Big Owner")
xdotool windowactivate --sync "$list"
sleep 1
xdotool key --clearmodifiers ctrl+End
sleep 2
awk '/^VmRSS/ { printf "list.rss_mib %.1f MiB\n", $2 / 1024 }' "/proc/$pid/status"
