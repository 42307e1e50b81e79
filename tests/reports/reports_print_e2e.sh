#!/usr/bin/env bash
# Prints reports from the real main program on a CUPS queue of a private
# scheduler: print mode sends the pages straight to the default printer, and
# the preview prints the number of copies asked for, and a cancelled print
# job hands the scheduler no document.
# Exits 77 (skipped) when no CUPS scheduler can be set up here.
# Usage: reports_print_e2e.sh QUILLOCK FIXTURE CANCEL_PROBE
set -u
quillock=$1 fixture=$2 cancel_probe=$3
shots=$PWD
work=$(mktemp -d /tmp/ql-reports-print.XXXXXX)
here=$(dirname "$0")
source "$here/../support/e2e-helpers.sh"
source "$here/cups_queue.sh"
trap 'stop_cups; rm -rf "$work"' EXIT
if ! start_cups >"$work/cups-why" 2>&1; then
  echo "SKIPPED: no CUPS queue could be set up on this machine ($(cat "$work/cups-why"))"
  exit 77
fi

data=$work/data
mkdir -p -m 700 "$data"
"$fixture" "$data" user joe "Not Required" && "$fixture" "$data" entries joe 40 || { echo "FAILED: fixture"; exit 1; }

"$quillock" "Data=$data" >"$work/q.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30)
check "main window opens" test -n "$frame"

# The newest finished job's document, once there are more than $1 jobs.
wait_job() { # wait_job COUNT_BEFORE SECONDS -> prints the path of the newest document
  local deadline=$((SECONDS + $2)) newest
  while [ $SECONDS -lt "$deadline" ]; do
    newest=$(ls "$cups/out"/job-*.pdf 2>/dev/null | sort -t- -k2 -n | tail -n1)
    if [ "$(ls "$cups/out"/job-*.pdf 2>/dev/null | wc -l)" -gt "$1" ] && [ -s "$newest" ]; then
      sleep 0.5; echo "$newest"; return 0
    fi
    sleep 0.2
  done
  return 1
}

# File > Reports > by Service prints without asking. The keys are sent again
# only when no job came of them (a key lost during a focus hand-over).
job=""
for _ in 1 2 3; do
  xdotool windowactivate --sync "$frame" >/dev/null 2>&1
  xdotool key --clearmodifiers --delay 150 alt+f r Return
  job=$(wait_job 0 15) && break
  xdotool key Escape Escape
done
check "the report reaches the printer as one job" test -n "$job"
check "CUPS lists the job as completed" bash -c "lpstat -W completed -o QLTEST | grep -q '^QLTEST-'"
text=$(pdftotext -raw "$job" - 2>/dev/null)
check "the job holds every page" bash -c "grep -q 'Passwords by Service' <<<\"\$1\" && grep -q 'Pw-001-secret' <<<\"\$1\" && grep -q 'Pw-040-secret' <<<\"\$1\"" _ "$text"
check "no message was shown" test -z "$(xdotool search --onlyvisible --name '^(NOTE\.\.\.|WARNING!|Printing Failed)$' 2>/dev/null)"
import -window root "$shots/reports-printed.png" 2>/dev/null

# Master Report: preview, then print two copies from there.
question=$(press_until "$frame" '^Preview$' 30 alt+f r Down Down Down Down Return)
check "Master Report asks whether to preview" test -n "$question"
preview=$(press_until "$question" '^Report Preview' 30 Return)
check "the preview shows the pages" test -n "$preview"
sleep 0.5
xdotool windowactivate --sync "$preview" >/dev/null 2>&1
xdotool key --clearmodifiers alt+o ctrl+a 2 alt+p
second=$(wait_job 1 20)
check "printing from the preview makes a second job" test -n "$second"
check "the job asks for two copies" test "$(cat "${second%.pdf}.copies" 2>/dev/null)" = 2
check "the second job is the master report" bash -c "pdftotext -raw \"\$1\" - | grep -q 'Master Password Report'" _ "$second"

# File > Print Setup: another printer and A4 paper hold for the next reports.
mkdir -p "$cups/other" && chown lp:lp "$cups/other" && lpadmin -p QLOTHER -E -v "qlfile:$cups/other" -m raw >/dev/null 2>&1
check "a second queue is set up" lpstat -p QLOTHER
setup=$(press_until "$frame" '^Print Setup$' 30 alt+f s)
check "Print Setup opens" test -n "$setup"
xdotool windowactivate --sync "$setup" >/dev/null 2>&1
# The printers come in name order (QLOTHER first) and the papers with A4 first.
xdotool key --clearmodifiers --delay 150 Home Tab Home Return
other=""
for _ in 1 2 3; do
  xdotool windowactivate --sync "$frame" >/dev/null 2>&1
  xdotool key --clearmodifiers --delay 150 alt+f r Return
  for _ in $(seq 75); do
    other=$(ls "$cups/other"/job-*.pdf 2>/dev/null | head -n1)
    [ -n "$other" ] && break
    sleep 0.2
  done
  [ -n "$other" ] && break
  xdotool key Escape Escape
done
[ -n "$other" ] && wait_file "$other" 10 && sleep 0.5
check "the report goes to the printer chosen in Print Setup" test -n "$other"
check "its pages are A4" bash -c "pdfinfo \"\$1\" | grep -q '(A4)'" _ "$other"
check "the printer is asked for A4 paper" grep -q 'media=A4' "${other%.pdf}.options"
check "the default printer got no third job" test "$(ls "$cups/out"/job-*.pdf | wc -l)" -eq 2

# A job cancelled before its end: the pages begun never reach the queue. The
# scheduler logs every document it takes ("Send-Document successful-ok").
documents() { grep -c 'Send-Document successful-ok' "$cups/log/access_log" 2>/dev/null; }
jobs_now() { lpstat -W all -o QLTEST 2>/dev/null | awk '{ print $1 }' | sort; }
taken=$(documents) files=$(ls "$cups/out" | wc -l) jobs=$(jobs_now)
check "the probe begins a job of three pages and cancels it" "$cancel_probe"
sleep 3
check "the scheduler took no document of the cancelled job" test "$(documents)" = "$taken"
check "nothing of it was printed" test "$(ls "$cups/out" | wc -l)" = "$files"
check "no job is left of it in the queue or its history" test "$(jobs_now)" = "$jobs"

xdotool windowactivate --sync "$frame" >/dev/null 2>&1
xdotool key --clearmodifiers alt+F4
wait_exit $pid 20; status=$?
check "main program exits 0 when closed" test "$status" -eq 0

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
