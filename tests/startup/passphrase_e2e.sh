#!/usr/bin/env bash
# A data folder protected by a passphrase through the real programs on a
# private X display, as a user would: turned on from the Options window, the
# "Unlock Quillock" window, a wrong passphrase, Cancel, the monitor program, a
# command-line synchronization reading the passphrase from standard input,
# and turned off again.
# Usage: passphrase_e2e.sh QUILLOCK QLMON SYNC_FIXTURE SHOT_FOLDER
set -u
quillock=$1 qlmon=$2 fixture=$3 shots=$4
work=$(mktemp -d /tmp/ql-pp-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"
source "$(dirname "$0")/../support/e2e-helpers.sh"
type_into() { # type_into WINDOW TEXT: types the text and Return into the window
  xdotool windowactivate --sync "$1" >/dev/null 2>&1
  sleep 0.3
  xdotool type --delay 20 "$2"
  xdotool key --clearmodifiers Return
}
# The Options window's "Protect the data folder with a passphrase..." button
# comes last in its window's focus chain.
open_passphrase_window() { # open_passphrase_window FRAME -> prints the window id
  local options
  options=$(press_until "$1" '^Options$' 20 alt+t p) || return 1
  xdotool windowactivate --sync "$options" >/dev/null 2>&1
  sleep 0.3
  xdotool key --clearmodifiers shift+Tab space
  wait_window '^Protect the data folder with a passphrase$' 10
}
answer_ok() { # answer_ok TITLE_REGEX [BUT_NOT_WINDOW]: presses Return in the next such window
  local deadline=$((SECONDS + 60)) box=
  while [ -z "$box" ] && [ $SECONDS -lt "$deadline" ]; do
    box=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -n1)
    [ -z "$box" ] && sleep 0.2
  done
  [ -n "$box" ] || return 1
  xdotool windowactivate --sync "$box" >/dev/null 2>&1
  sleep 0.3
  xdotool key --clearmodifiers Return
}

phrase='violet kettle 42 sings'
data=$work/data
mkdir -p "$data"
"$fixture" "$data" user joe 's3cret pw' && "$fixture" "$data" entry joe Mail joe mailpw 80000 100 ||
  { echo "FAILED: fixture"; exit 1; }

# 0. Turned on from the Options window: the program closes and re-encrypts.
"$quillock" "Data=$data" >"$work/q0.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30)
window=$(open_passphrase_window "$frame")
check "Options opens the passphrase window" test -n "$window"
xdotool type --delay 20 "$phrase"
xdotool key --clearmodifiers Tab
xdotool type --delay 20 "$phrase"
import -window root "$shots/passphrase-window.png" 2>/dev/null
xdotool key --clearmodifiers Return
answer_ok '^Quillock$' "$frame" # "Quillock will now close and re-encrypt..."
answer_ok '^Quillock$' "$frame" # "The data folder is now protected by the passphrase."
wait_exit $pid 60; status=$?
check "the program closes after re-encrypting" test "$status" -eq 0
check "the key file is there, the user's alone" test "$(stat -c %a "$data/quillock.key" 2>/dev/null)" = 600
check "no byte of the passphrase is in the folder" bash -c "! grep -rqF '$phrase' '$data'"
check "nothing of the switch is left" test -z "$(ls "$data" | grep -E 'rekey|switch|key.new')"

# 1. The main program asks first; a wrong passphrase is refused, the right one opens.
"$quillock" "Data=$data" >"$work/q1.log" 2>&1 &
pid=$!
unlock=$(wait_window '^Unlock Quillock$' 20)
check "the main program asks for the passphrase" test -n "$unlock"
check "no frame before the passphrase" bash -c "! xdotool search --onlyvisible --name '^Quillock$' >/dev/null 2>&1"
import -window root "$shots/unlock-window.png" 2>/dev/null
type_into "$unlock" "not the phrase"
sleep 1
again=$(wait_window '^Unlock Quillock$' 20)
check "a wrong passphrase asks again" test -n "$again"
import -window root "$shots/unlock-wrong.png" 2>/dev/null
type_into "$again" "$phrase"
frame=$(wait_window '^Quillock$' 30)
check "the right passphrase opens the frame" test -n "$frame"
import -window root "$shots/unlocked-frame.png" 2>/dev/null
close_and_wait "$frame" $pid 20; status=$?
check "the main program exits 0 when closed" test "$status" -eq 0

# 2. Cancel ends the program as a failed login does.
"$quillock" "Data=$data" >"$work/q2.log" 2>&1 &
pid=$!
unlock=$(wait_window '^Unlock Quillock$' 20)
xdotool windowactivate --sync "$unlock" >/dev/null 2>&1
xdotool key --clearmodifiers Escape
wait_exit $pid 20; status=$?
check "Cancel ends the main program with a failure" test "$status" -ne 0 -a "$status" -ne 124
check "Cancel says so on standard error" grep -q "Unlock Cancelled" "$work/q2.log"

# 3. The monitor program asks too.
"$qlmon" "Data=$data" >"$work/m.log" 2>&1 &
pid=$!
unlock=$(wait_window '^Unlock Quillock$' 20)
check "the monitor program asks for the passphrase" test -n "$unlock"
type_into "$unlock" "$phrase"
monitor=$(wait_window '^Quillock Monitor$' 30)
check "the monitor opens with the passphrase" test -n "$monitor"
close_and_wait "$monitor" $pid 20 >/dev/null

# 4. Command-line synchronization: "Passphrase=-" reads the first line of input.
printf 'wrong one\ns3cret pw\n' | "$quillock" "Data=$data" Sync=O User=joe Password=- Passphrase=- \
  "File=$work/out.syn" >"$work/s1.out" 2>"$work/s1.err"; status=$?
check "a wrong passphrase on input fails the run" test "$status" -eq 1
check "and says why" grep -q "Wrong Passphrase" "$work/s1.err"
check "and writes nothing" test ! -e "$work/out.syn"
printf '%s\ns3cret pw\n' "$phrase" | "$quillock" "Data=$data" Sync=O User=joe Password=- Passphrase=- \
  "File=$work/out.syn" >"$work/s2.out" 2>"$work/s2.err"; status=$?
check "the right passphrase on input lets the run send" test "$status" -eq 0 -a -s "$work/out.syn"
check "no window was asked for" bash -c "! xdotool search --onlyvisible --name '^Unlock Quillock$' >/dev/null 2>&1"

# 5. Turned off again from the Options window; the next start asks nothing.
"$quillock" "Data=$data" >"$work/q5.log" 2>&1 &
pid=$!
unlock=$(wait_window '^Unlock Quillock$' 20)
type_into "$unlock" "$phrase"
frame=$(wait_window '^Quillock$' 30)
window=$(open_passphrase_window "$frame")
xdotool type --delay 20 "$phrase"
xdotool key --clearmodifiers Tab space Return
answer_ok '^Quillock$' "$frame"
answer_ok '^Quillock$' "$frame"
wait_exit $pid 60; status=$?
check "turning it off closes the program" test "$status" -eq 0
check "the key file is gone" test ! -e "$data/quillock.key"
"$quillock" "Data=$data" >"$work/q6.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30)
check "an open folder starts without asking" test -n "$frame"
close_and_wait "$frame" $pid 20 >/dev/null
check "the entry came through both switches" bash -c "'$fixture' '$data' list | grep -q '^joe|Mail|joe|mailpw|'"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
