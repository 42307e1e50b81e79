# A private CUPS scheduler for the print tests: its own folder, socket and
# default queue "QLTEST", whose jobs land as files in $cups/out (the document
# as job-N.pdf, its number of copies in job-N.copies). Sourced.
# start_cups sets CUPS_SERVER for the programs started afterwards; it fails
# when CUPS is not installed or its scheduler cannot run here.
start_cups() {
  [ -x /usr/sbin/cupsd ] && command -v lpadmin >/dev/null || { echo "cupsd or lpadmin is not installed"; return 1; }
  cups=$(mktemp -d /tmp/ql-cups.XXXXXX)
  chmod 755 "$cups"
  mkdir -p "$cups"/{spool,log,cache,state,ppd,tmp,out,bin/backend,bin/filter}
  chown lp:lp "$cups"/{spool,cache,state,tmp,out} 2>/dev/null || { echo "no lp user for the scheduler"; return 1; }
  chmod 1777 "$cups/tmp"
  cat > "$cups/bin/backend/qlfile" <<'SH'
#!/bin/sh
# Keeps each job's document in the folder the device names.
if [ $# -eq 0 ]; then echo 'direct qlfile "Unknown" "Quillock test output"'; exit 0; fi
out=${DEVICE_URI#qlfile:}
echo "$4" > "$out/job-$1.copies"
echo "$5" > "$out/job-$1.options"
if [ -n "$6" ]; then cat "$6" > "$out/job-$1.pdf"; else cat > "$out/job-$1.pdf"; fi
SH
  chmod 755 "$cups/bin" "$cups/bin/backend" "$cups/bin/filter" "$cups/bin/backend/qlfile"
  ln -s /usr/lib/cups/daemon "$cups/bin/daemon"
  cat > "$cups/cupsd.conf" <<CONF
Listen $cups/cups.sock
LogLevel info
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat > "$cups/cups-files.conf" <<CONF
ServerBin $cups/bin
ServerRoot $cups
RequestRoot $cups/spool
TempDir $cups/tmp
CacheDir $cups/cache
StateDir $cups/state
Printcap $cups/printcap
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
User lp
Group lp
SystemGroup root
CONF
  /usr/sbin/cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >"$cups/cupsd.out" 2>&1 &
  cups_pid=$!
  export CUPS_SERVER=$cups/cups.sock
  for _ in $(seq 100); do [ -S "$cups/cups.sock" ] && break; sleep 0.05; done
  lpadmin -p QLTEST -E -v "qlfile:$cups/out" -m raw >/dev/null 2>&1 && lpadmin -d QLTEST >/dev/null 2>&1 ||
    { echo "the private scheduler did not take a queue: $(tail -n 3 "$cups/log/error_log" 2>/dev/null)"; return 1; }
}

stop_cups() {
  [ -n "${cups_pid:-}" ] && kill "$cups_pid" 2>/dev/null && wait "$cups_pid" 2>/dev/null
  [ -n "${cups:-}" ] && rm -rf "$cups"
  return 0
}
