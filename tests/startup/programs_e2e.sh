#!/usr/bin/env bash
# Starts the real programs on a private X display as a user would and checks
# what they leave behind.
# Usage: programs_e2e.sh QUILLOCK QLMON PUT_SETTING HOSTILE_TABLE
set -u
quillock=$1 qlmon=$2 put_setting=$3 hostile_table=$4
work=$(mktemp -d /tmp/ql-e2e.XXXXXX)
user_dir=$(mktemp -d /tmp/ql-e2e-user.XXXXXX)
trap 'rm -rf "$work" "$user_dir"' EXIT
source "$(dirname "$0")/../support/e2e-helpers.sh"

# 1. First start: window, tables, position on close, exit 0.
mkdir -p -m 700 "$work/x"
"$quillock" "Data=$work/x" >"$work/q1.log" 2>&1 &
pid=$!
check "a new data folder is offered a passphrase first" answer_later 20 $pid
frame=$(wait_window '^Quillock$' 20)
check "main window opens after Later" test -n "$frame"
check "Later leaves the folder without a key file" test ! -e "$work/x/quillock.key"
check "tables are created in the data folder" test -s "$work/x/QL_DATA.qld"
check "only the user may read the tables" test "$(stat -c %a "$work/x/QL_DATA.qld")" = 600
check "the word list table is made on the first start" test -s "$work/x/qlock_w.tps"
check "only the user may read the word list table" test "$(stat -c %a "$work/x/qlock_w.tps")" = 600
close_and_wait "$frame" $pid 20; status=$?
check "main program exits 0 when closed" test "$status" -eq 0
check "main window position written under Main" grep -q '^\[Main\]' "$work/x/POSITION.INI"
check "position holds Maximize" grep -q '^Maximize=No' "$work/x/POSITION.INI"
check "nothing of the data in the current folder" test ! -e "$PWD/QL_DATA.qld"
check "the folder's lock file is the user's alone" test "$(stat -c %a "$work/x/quillock.lock")" = 600
"$quillock" "Data=$work/x" >"$work/q1b.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 20 $pid)
check "the offer is not made again once answered" \
  bash -c "! xdotool search --onlyvisible --name '^Protect the Data Folder$' >/dev/null 2>&1"
close_and_wait "$frame" $pid 20 >/dev/null

# 2. The monitor program refuses a folder where the main program never ran.
mkdir -p -m 700 "$work/empty"
"$qlmon" "Data=$work/empty" >"$work/m.log" 2>&1 &
pid=$!
box=$(wait_window '^Quillock Monitor$' 20)
check "monitor shows its precondition message" test -n "$box"
press_until_gone "$box" Return 10
wait_exit $pid 20; status=$?
check "monitor ends after the message" test "$status" -ne 124
check "monitor created nothing" test -z "$(ls -A "$work/empty")"

# 3. Inactivity close-down after one minute: left alone, the program closes
#    itself ten seconds later with exit 0; "Cancel" keeps a second one open.
#    Both run at once, so the minute is waited for only once.
"$put_setting" "$work/x" QL_IT 1
cp -a "$work/x" "$work/y"
"$quillock" "Data=$work/x" >"$work/q2.log" 2>&1 &
left=$!
"$quillock" "Data=$work/y" >"$work/q3.log" 2>&1 &
cancelled=$!
countdown=$(wait_window '^Automatic Close Down$' 80 $cancelled)
check "close-down window after a minute without input" test -n "$countdown"
check "Cancel closes the close-down window" press_until_gone "$countdown" Escape 5
wait_exit $left 40; status=$?
check "program left alone closes itself ten seconds later with exit 0" test "$status" -eq 0
check "Cancel keeps the program open" kill -0 $cancelled
kill $cancelled 2>/dev/null; wait_exit $cancelled 10 >/dev/null

# 4. Neither program can be dumped or write a core file while it runs. They run
#    as an ordinary user here: /proc shows an undumpable process as root's.
run_as=()
if [ "$(id -u)" -eq 0 ]; then run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
mkdir -p -m 700 "$user_dir/data" "$user_dir/home" "$user_dir/run"
# The schema checker sits beside the programs, in a copy as in the build.
cp "$quillock" "$qlmon" "$(dirname "$quillock")/ql-schema-check" "$user_dir/"
chmod 755 "$user_dir"
if [ "$(id -u)" -eq 0 ]; then chown 65534:65534 "$user_dir/data" "$user_dir/home" "$user_dir/run"; fi
# setpriv and env replace themselves with the program, so $! is the program.
as_user=("${run_as[@]}" env -u DBUS_SESSION_BUS_ADDRESS HOME="$user_dir/home"
         XDG_RUNTIME_DIR="$user_dir/run")
undumpable() { # the process is not root's, yet /proc shows its files as root's
  [ "$(awk '/^Uid:/ { print $2 }' "/proc/$1/status")" != 0 ] &&
    [ "$(stat -c %u "/proc/$1/environ")" = 0 ]
}
no_core() { grep -Eq '^Max core file size +0 +0 ' "/proc/$1/limits"; }
"${as_user[@]}" "$user_dir/quillock" "Data=$user_dir/data" >"$work/q3.log" 2>&1 &
pid=$!
answer_later 20 $pid
frame=$(wait_window '^Quillock$' 20)
check "main program runs as an ordinary user" test -n "$frame"
check "main program cannot be dumped" undumpable $pid
check "main program's core size limit is 0" no_core $pid
close_and_wait "$frame" $pid 20
"${as_user[@]}" "$user_dir/qlmon" "Data=$user_dir/data" >"$work/m2.log" 2>&1 &
pid=$!
sleep 2
check "monitor program runs as an ordinary user" kill -0 $pid
check "monitor program cannot be dumped" undumpable $pid
check "monitor program's core size limit is 0" no_core $pid
kill $pid 2>/dev/null; wait_exit $pid 10 >/dev/null

# 5. A table file whose schema text crashes the database engine as it parses
#    it: the hardened programs keep running, say they cannot open it (the
#    screenshot shows "Not a valid data file (36)"), end with status 1 when the
#    message is closed, and leave it as it was.
mkdir -p -m 700 "$user_dir/hostile"
"$hostile_table" "$user_dir/hostile"
if [ "$(id -u)" -eq 0 ]; then chown -R 65534:65534 "$user_dir/hostile"; fi
before=$(cd "$user_dir/hostile" && sha256sum QL_DATA.qld* | sort)
for program in quillock qlmon; do
  "${as_user[@]}" "$user_dir/$program" "Data=$user_dir/hostile" >"$work/h-$program.log" 2>&1 &
  pid=$!
  box=$(wait_window '^File Access Error$' 20 $pid)
  check "$program says it cannot open the crafted table" test -n "$box"
  check "$program is still running" kill -0 $pid
  import -window root "$PWD/hostile-table-$program.png" 2>/dev/null
  [ -n "$box" ] && press_until_gone "$box" Return 10
  wait_exit $pid 20; status=$?
  check "$program ends with status 1, not a crash (status $status)" test "$status" -eq 1
  check "$program left the crafted table as it was" \
    test "$(cd "$user_dir/hostile" && sha256sum QL_DATA.qld* | sort)" = "$before"
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
