#!/usr/bin/env bash
# A data folder protected by a passphrase through the real programs on a
# private X display, as a user would: turned on from the Options window, the
# "Unlock Quillock" window, a wrong passphrase, Cancel, the monitor program, a
# command-line synchronization reading the passphrase from standard input,
# turned off again, offered on the first start in a new folder, and refused
# while another program, hardened and run as an ordinary user, has the folder
# open.
# Usage: passphrase_e2e.sh QUILLOCK QLMON SYNC_FIXTURE SHOT_FOLDER
set -u
quillock=$1 qlmon=$2 fixture=$3 shots=$4
work=$(mktemp -d /tmp/ql-pp-e2e.XXXXXX)
user_dir=$(mktemp -d /tmp/ql-pp-e2e-user.XXXXXX)
trap 'rm -rf "$work" "$user_dir"' EXIT
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
mkdir -p -m 700 "$data"
"$fixture" "$data" user joe 's3cret pw' && "$fixture" "$data" entry joe Mail joe mailpw 80000 100 ||
  { echo "FAILED: fixture"; exit 1; }

# 0. Turned on from the Options window: the program closes and re-encrypts.
"$quillock" "Data=$data" >"$work/q0.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30)
window=$(open_passphrase_window "$frame")
require "Options opens the passphrase window" test -n "$window"
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
require "the main program asks for the passphrase" test -n "$unlock"
check "no frame before the passphrase" bash -c "! xdotool search --onlyvisible --name '^Quillock$' >/dev/null 2>&1"
import -window root "$shots/unlock-window.png" 2>/dev/null
type_into "$unlock" "not the phrase"
sleep 1
again=$(wait_window '^Unlock Quillock$' 20)
require "a wrong passphrase asks again" test -n "$again"
import -window root "$shots/unlock-wrong.png" 2>/dev/null
type_into "$again" "$phrase"
frame=$(wait_window '^Quillock$' 30)
require "the right passphrase opens the frame" test -n "$frame"
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
require "the monitor program asks for the passphrase" test -n "$unlock"
type_into "$unlock" "$phrase"
monitor=$(wait_window '^Quillock Monitor$' 30)
require "the monitor opens with the passphrase" test -n "$monitor"
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
# From a terminal with no desktop (ssh, cron): no window, the passphrase from input only.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60)
printf 's3cret pw\n' | "${no_display[@]}" "$quillock" "Data=$data" Sync=O User=joe Password=- \
  "File=$work/out2.syn" >"$work/s3.out" 2>"$work/s3.err"; status=$?
check "with no display and no Passphrase=- the run fails at once" test "$status" -eq 1
check "and says how to give the passphrase" grep -q "give Passphrase=-" "$work/s3.err"
check "and writes nothing" test ! -e "$work/out2.syn"
printf '%s\ns3cret pw\n' "$phrase" | "${no_display[@]}" "$quillock" "Data=$data" Sync=O User=joe Password=- \
  Passphrase=- "File=$work/out2.syn" >"$work/s4.out" 2>"$work/s4.err"; status=$?
check "with no display the passphrase on input lets the run send" test "$status" -eq 0 -a -s "$work/out2.syn"
check "no secret in what the runs printed" bash -c "! grep -qF -e '$phrase' -e 's3cret' '$work/s3.out' '$work/s3.err' '$work/s4.out' '$work/s4.err'"

# 5. Turned off again from the Options window; the next start asks nothing.
"$quillock" "Data=$data" >"$work/q5.log" 2>&1 &
pid=$!
unlock=$(wait_window '^Unlock Quillock$' 20)
type_into "$unlock" "$phrase"
frame=$(wait_window '^Quillock$' 30)
window=$(open_passphrase_window "$frame")
require "the passphrase window opens again to turn it off" test -n "$window"
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
require "an open folder starts without asking" test -n "$frame"
close_and_wait "$frame" $pid 20 >/dev/null
check "the entry came through both switches" bash -c "'$fixture' '$data' list | grep -q '^joe|Mail|joe|mailpw|'"

# 6. The first start in a new folder offers the passphrase; one set there
#    protects the tables from the start, and the next start asks for it.
mkdir -p -m 700 "$work/cli"
timeout 30 "$quillock" "Data=$work/cli" Sync=O User=joe Password=x "File=$work/cli.syn" >"$work/cli.log" 2>&1
status=$?
check "a command-line run in a new folder asks nothing" test "$status" -eq 1
new=$work/new
mkdir -p -m 700 "$new"
"$quillock" "Data=$new" >"$work/q7.log" 2>&1 &
pid=$!
offer=$(wait_window '^Protect the Data Folder$' 20 $pid)
require "a new data folder is offered a passphrase" test -n "$offer"
check "before the main window" bash -c "! xdotool search --onlyvisible --name '^Quillock$' >/dev/null 2>&1"
import -window root "$shots/new-folder-offer.png" 2>/dev/null
window=$(press_until "$offer" '^Protect the data folder with a passphrase$' 20 alt+p)
require "Protect asks for the new passphrase" test -n "$window"
xdotool type --delay 20 "$phrase"
xdotool key --clearmodifiers Tab
xdotool type --delay 20 "$phrase"
xdotool key --clearmodifiers Return
frame=$(wait_window '^Quillock$' 60 $pid)
require "the program goes on to its window" test -n "$frame"
check "the new folder has its key file" test -s "$new/quillock.key"
close_and_wait "$frame" $pid 20 >/dev/null
check "no byte of the passphrase is in the new folder" bash -c "! grep -rqF '$phrase' '$new'"
"$quillock" "Data=$new" >"$work/q8.log" 2>&1 &
pid=$!
unlock=$(wait_window '^Unlock Quillock$' 20 $pid)
require "the next start asks for the passphrase set through the offer" test -n "$unlock"
check "and makes no offer" bash -c "! xdotool search --onlyvisible --name '^Protect the Data Folder$' >/dev/null 2>&1"
type_into "$unlock" "$phrase"
frame=$(wait_window '^Quillock$' 30 $pid)
check "the passphrase set through the offer opens the folder" test -n "$frame"
close_and_wait "$frame" $pid 20 >/dev/null

# 7. The switch is refused while another program has the folder open: the
#    programs are the real, hardened ones, run as an ordinary user, for whom
#    /proc hides an undumpable process's files.
run_as=()
if [ "$(id -u)" -eq 0 ]; then run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
shared=$user_dir/data
mkdir -p -m 700 "$shared" "$user_dir/home" "$user_dir/run"
"$fixture" "$shared" user joe 's3cret pw' && "$fixture" "$shared" entry joe Mail joe mailpw 80000 100 ||
  { echo "FAILED: fixture"; exit 1; }
cp "$quillock" "$qlmon" "$(dirname "$quillock")/ql-schema-check" "$user_dir/"
chmod 755 "$user_dir"
if [ "$(id -u)" -eq 0 ]; then chown -R 65534:65534 "$shared" "$user_dir/home" "$user_dir/run"; fi
as_user=("${run_as[@]}" env -u DBUS_SESSION_BUS_ADDRESS HOME="$user_dir/home" XDG_RUNTIME_DIR="$user_dir/run")
box_of() { # box_of PID FRAME: the program's message box titled "Quillock", not its frame
  local deadline=$((SECONDS + 20)) box=
  while [ -z "$box" ] && [ $SECONDS -lt "$deadline" ]; do
    box=$(xdotool search --all --onlyvisible --pid "$1" --name '^Quillock$' 2>/dev/null | grep -vx "$2" | head -n1)
    [ -z "$box" ] && sleep 0.2
  done
  [ -n "$box" ] && echo "$box"
}
# Options, then its passphrase button: refused at once while another program runs.
ask_refused() { # ask_refused PID FRAME SHOT: true when a message box comes instead of the window
  local options box
  options=$(press_until "$2" '^Options$' 20 alt+t p) || return 1
  xdotool windowactivate --sync "$options" >/dev/null 2>&1
  sleep 0.3
  xdotool key --clearmodifiers shift+Tab space
  box=$(box_of "$1" "$2") || return 1
  import -window root "$shots/$3" 2>/dev/null
  xdotool search --onlyvisible --name '^Protect the data folder with a passphrase$' >/dev/null 2>&1 && return 1
  press_until_gone "$box" Return 10
  press_until_gone "$options" Escape 10
}
"${as_user[@]}" "$user_dir/qlmon" "Data=$shared" >"$work/m7.log" 2>&1 &
monitor_pid=$!
monitor=$(wait_window '^Quillock Monitor$' 30 $monitor_pid)
require "the hardened monitor runs as an ordinary user" test -n "$monitor"
"${as_user[@]}" "$user_dir/quillock" "Data=$shared" >"$work/q9.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30 $pid)
require "the main program starts while the monitor runs" test -n "$frame"
check "asking for a passphrase is refused while the monitor runs" ask_refused $pid "$frame" refused-monitor.png
close_and_wait "$frame" $pid 20 >/dev/null
close_and_wait "$monitor" $monitor_pid 20 >/dev/null

# The monitor starts after the switch was agreed, before the program closes to make it.
"${as_user[@]}" "$user_dir/quillock" "Data=$shared" >"$work/q10.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30 $pid)
window=$(open_passphrase_window "$frame")
require "alone, the main program may ask for a passphrase" test -n "$window"
xdotool type --delay 20 "$phrase"
xdotool key --clearmodifiers Tab
xdotool type --delay 20 "$phrase"
xdotool key --clearmodifiers Return
agree=$(box_of $pid "$frame")
"${as_user[@]}" "$user_dir/qlmon" "Data=$shared" >"$work/m8.log" 2>&1 &
monitor_pid=$!
monitor=$(wait_window '^Quillock Monitor$' 30 $monitor_pid)
require "the monitor starts meanwhile" test -n "$monitor"
press_until_gone "$agree" Return 10
told=$(box_of $pid "$frame")
import -window root "$shots/refused-at-close.png" 2>/dev/null
press_until_gone "$told" Return 10
wait_exit $pid 60 >/dev/null
check "the switch at close is refused while the monitor runs" test ! -e "$shared/quillock.key"
check "nothing of the switch is left" test -z "$(ls "$shared" | grep -E 'rekey|switch|key.new')"
check "the monitor still runs" kill -0 $monitor_pid
close_and_wait "$monitor" $monitor_pid 20 >/dev/null
check "the entry is still under the built-in key" bash -c "'$fixture' '$shared' list | grep -q '^joe|Mail|joe|mailpw|'"

# A second main program in the folder stops the first one's switch as well.
"${as_user[@]}" "$user_dir/quillock" "Data=$shared" >"$work/q11.log" 2>&1 &
first=$!
first_frame=$(wait_window '^Quillock$' 30 $first)
"${as_user[@]}" "$user_dir/quillock" "Data=$shared" >"$work/q12.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30 $pid)
require "a second main program starts in the folder" test -n "$frame"
check "asking for a passphrase is refused while another main program runs" \
  ask_refused $pid "$frame" refused-second.png
close_and_wait "$frame" $pid 20 >/dev/null
close_and_wait "$first_frame" $first 20 >/dev/null

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
