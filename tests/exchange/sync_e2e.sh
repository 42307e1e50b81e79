#!/usr/bin/env bash
# Runs synchronization from the command line of the real main program, between
# two data folders, as a user or a script would.
# Usage: sync_e2e.sh QUILLOCK FIXTURE
set -u
quillock=$1 fixture=$2
shots=$PWD
work=$(mktemp -d /tmp/ql-sync-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
home=$work/home away=$work/work media=$work/media
mkdir -p -m 700 "$home" "$away" "$media"
source "$(dirname "$0")/../support/e2e-helpers.sh"
no_frame_opened() { ! grep -qs '^\[Main\]' "$1/POSITION.INI"; }
same() { [ "$1" = "$2" ] || { echo "  expected: $2"; echo "  got:      $1"; return 1; }; }

"$fixture" "$home" user joe 's3cret pw' && "$fixture" "$away" user Joe 's3cret pw' &&
  "$fixture" "$away" user ann other &&
  "$fixture" "$home" entry joe Mail joe mailpw 80000 100 &&
  "$fixture" "$home" entry joe Bank joe.b bankpw 80000 200 &&
  "$fixture" "$away" entry Joe mail JOE oldpw 79999 100 || { echo "FAILED: fixture"; exit 1; }

# 1. Keyed send, with the data folder named on the command line.
out=$("$quillock" "Data=$home" Sync=O User=joe "Password=s3cret pw" "File=$media/q.syn" 2>"$work/err"); status=$?
check "keyed send exits 0" test "$status" -eq 0
check "keyed send prints its summary" same "$out" "Records added to the synchonization file:  2"
check "the file is the user's alone" same "$(stat -c %a "$media/q.syn")" 600
check "no main window after a send" no_frame_opened "$home"

# 2. Positional receive from the data folder as the current folder.
out=$(cd "$away" && "$quillock" /SyncIn Joe "s3cret pw" "$media/q.syn" 2>"$work/err"); status=$?
check "positional receive exits 0" test "$status" -eq 0
check "positional receive prints its summary" same "$out" "Records added:  1  Records updated:  1"
check "entries merged for the receiving user" same "$("$fixture" "$away" list)" \
  "$(printf 'Joe|Bank|joe.b|bankpw|80000|200\nJoe|Mail|joe|mailpw|80000|100')"
check "no main window after a receive" no_frame_opened "$away"

# 3. The password on standard input.
out=$(printf 's3cret pw\n' | "$quillock" "Data=$away" Sync=I User=Joe Password=- "File=$media/q.syn" 2>"$work/err"); status=$?
check "password from standard input" test "$status" -eq 0
check "nothing newer the second time" same "$out" "Records added:  0  Records updated:  0"

# 4. Another user's password: refused, nothing merged, a failure status.
before=$("$fixture" "$away" list)
"$quillock" "Data=$away" Sync=I User=ann Password=other "File=$media/q.syn" >"$work/out" 2>"$work/err"; status=$?
check "a password mismatch fails" test "$status" -eq 1
check "the mismatch is said on standard error" grep -q '^Password mismatch: ' "$work/err"
check "a mismatch merges nothing" same "$("$fixture" "$away" list)" "$before"
check "no summary after a mismatch" test ! -s "$work/out"
check "no secret in what was printed" bash -c "! grep -q 's3cret\|mailpw\|bankpw' '$work/out' '$work/err'"

# 5. No file: the message, then the program ends without its main window.
"$quillock" "Data=$home" Sync=O User=joe "Password=s3cret pw" >"$work/out" 2>"$work/err" &
pid=$!
box=$(wait_window '^Synchonization cancelled$' 20)
check "missing file parameter shows the message" test -n "$box"
[ -n "$box" ] && import -window root "$shots/sync-parameters-incorrect.png" 2>/dev/null
check "the message goes away with Enter" press_until_gone "$box" Return 10
wait_exit $pid 20; status=$?
check "the program ends after the message" test "$status" -eq 2
check "no main window after the message" no_frame_opened "$home"

# 6. Any other direction starts the program normally; nothing is sent.
"$quillock" "Data=$home" Sync=Xfer User=joe "Password=s3cret pw" "File=$media/other.syn" >/dev/null 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 20)
check "another Sync value opens the main window" test -n "$frame"
# "S&ynchronize" in the File menu opens the window; "E&xit" closes it.
sync_window=""
for _ in 1 2 3 4 5; do
  [ -n "$frame" ] || break
  xdotool windowactivate --sync "$frame" >/dev/null 2>&1
  xdotool key --clearmodifiers alt+f; sleep 0.3; xdotool key y
  sync_window=$(wait_window '^Synchronize$' 3) && break
done
check "File, Synchronize opens its window" test -n "$sync_window"
[ -n "$sync_window" ] && import -window root "$shots/sync-window.png" 2>/dev/null
[ -n "$sync_window" ] && check "Exit closes it" press_until_gone "$sync_window" alt+x 10
[ -n "$frame" ] && press_until_gone "$frame" alt+F4 20
wait_exit $pid 20; status=$?
check "the program then closes normally" test "$status" -eq 0
check "nothing was sent" test ! -e "$media/other.syn"

# 7. A user without a password: the file gets a password of its own.
"$fixture" "$home" user free 'Not Required' && "$fixture" "$home" entry free Shop free shoppw 80000 100 &&
  "$fixture" "$away" user free 'Not Required' || { echo "FAILED: fixture"; exit 1; }
"$quillock" "Data=$home" Sync=O User=free "Password=Not Required" "File=$media/free.syn" >"$work/out" 2>"$work/err"; status=$?
check "a send without a file password fails" test "$status" -eq 1
check "it says how to give one" grep -q 'FilePassword=' "$work/err"
check "no file was written" test ! -e "$media/free.syn"
printf 'f1le pw\n' | "$quillock" "Data=$home" Sync=O User=free "Password=Not Required" FilePassword=- \
  "File=$media/free.syn" >"$work/out" 2>"$work/err"; status=$?
check "a send with the file's password from standard input" test "$status" -eq 0
"$quillock" "Data=$away" Sync=I User=free "Password=Not Required" "FilePassword=Not Required" \
  "File=$media/free.syn" >"$work/out" 2>"$work/err"; status=$?
check "the public text does not open it" test "$status" -eq 1
"$quillock" "Data=$away" Sync=I User=free "Password=Not Required" "FilePassword=f1le pw" \
  "File=$media/free.syn" >"$work/out" 2>"$work/err"; status=$?
check "the file's password opens it" same "$(cat "$work/out")" "Records added:  1  Records updated:  0"

# 8. A FAT USB stick, which cannot make a file the user's alone.
stick=$work/stick
mkdir -p "$stick"
if truncate -s 8M "$work/stick.img" && mkfs.vfat "$work/stick.img" >/dev/null 2>&1 &&
   fusefat -o rw+ "$work/stick.img" "$stick" >/dev/null 2>&1 && mountpoint -q "$stick"; then
  "$quillock" "Data=$home" Sync=O User=joe "Password=s3cret pw" "File=$stick/quillock.syn" >"$work/out" 2>"$work/err"; status=$?
  check "a send to a FAT stick succeeds" test "$status" -eq 0
  "$quillock" "Data=$away" Sync=I User=Joe "Password=s3cret pw" "File=$stick/quillock.syn" >"$work/out" 2>"$work/err"; status=$?
  check "and the file on it is received" test "$status" -eq 0
  fusermount -u "$stick"
else
  echo "SKIPPED: no FAT file system through FUSE here"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
