#!/usr/bin/env bash
# Runs "Master Report" in the real main program as a user would: the preview
# question, the preview window, and the pages saved as a PDF from there; then
# the Password Health window and report.
# Usage: reports_e2e.sh QUILLOCK FIXTURE
set -u
quillock=$1 fixture=$2
shots=$PWD
work=$(mktemp -d /tmp/ql-reports-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/e2e-helpers.sh"

data=$work/data
mkdir -p -m 700 "$data"
"$fixture" "$data" user joe "Not Required" && "$fixture" "$data" entries joe 30 &&
  "$fixture" "$data" entries ann 5 || { echo "FAILED: fixture"; exit 1; }

"$quillock" "Data=$data" >"$work/q.log" 2>&1 &
pid=$!
frame=$(wait_window '^Quillock$' 30)
check "main window opens" test -n "$frame"

# File > Reports > Master Report (the fifth item).
question=$(press_until "$frame" '^Preview$' 30 alt+f r Down Down Down Down Return)
check "Master Report asks whether to preview" test -n "$question"
preview=$(press_until "$question" '^Report Preview' 30 Return)
check "the preview shows the pages" test -n "$preview"
sleep 1
import -window root "$shots/reports-preview.png" 2>/dev/null
check "the preview window names the report" \
  bash -c "xdotool getwindowname $preview | grep -q 'Master Password Report'"

saveas=$(press_until "$preview" '^Save Report as PDF$' 30 alt+d)
check "Save as PDF asks for a file" test -n "$saveas"
sleep 0.5
xdotool windowactivate --sync "$saveas" >/dev/null 2>&1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$work/joe-master.pdf"
xdotool key --clearmodifiers Return
check "the PDF is written" wait_file "$work/joe-master.pdf" 20
check "only the user may read the PDF" test "$(stat -c %a "$work/joe-master.pdf" 2>/dev/null)" = 600
text=$(pdftotext -raw "$work/joe-master.pdf" - 2>/dev/null)
check "the PDF holds joe's first and last entries" \
  bash -c "grep -q 'Pw-001-secret' <<<\"\$1\" && grep -q 'Pw-030-secret' <<<\"\$1\"" _ "$text"
check "the PDF holds nothing of ann" bash -c "! grep -q 'login 031' <<<\"\$1\" && [ \$(grep -c 'Pw-001-secret' <<<\"\$1\") -eq 1 ]" _ "$text"
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/joe-master.pdf" "$shots/reports-master-page1" 2>/dev/null

xdotool windowactivate --sync "$preview" >/dev/null 2>&1
xdotool key --clearmodifiers alt+c
sleep 0.5
check "the preview keeps its place" grep -q '^\[ReportPreview\]' "$data/POSITION.INI"
check "the progress window keeps its place" grep -q '^\[ReportProgress\]' "$data/POSITION.INI"

# Tools > Password Health: joe's entries, worst first, no password shown.
health=$(press_until "$frame" '^Password Health - joe$' 30 alt+t h)
check "the health window opens on joe's entries" test -n "$health"
sleep 1
import -window "$health" "$shots/password-health-window.png" 2>/dev/null
xdotool windowactivate --sync "$health" >/dev/null 2>&1
xdotool key --clearmodifiers Escape
sleep 0.5

# File > Reports > Password Health (the sixth item): its pages in the preview.
healthPreview=$(press_until "$frame" '^Report Preview' 30 alt+f r Down Down Down Down Down Return)
check "the health report shows its pages" test -n "$healthPreview"
check "the health preview names the report" \
  bash -c "xdotool getwindowname $healthPreview | grep -q 'Password Health'"
sleep 1
import -window root "$shots/reports-health-preview.png" 2>/dev/null
xdotool windowactivate --sync "$healthPreview" >/dev/null 2>&1
xdotool key --clearmodifiers alt+c
sleep 0.5

xdotool windowactivate --sync "$frame" >/dev/null 2>&1
xdotool key --clearmodifiers alt+F4
wait_exit $pid 20; status=$?
check "main program exits 0 when closed" test "$status" -eq 0

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
