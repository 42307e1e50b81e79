# Helpers of the shell tests that drive the real programs under Xvfb as a
# user would. Sourced.
failures=0 passes=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then passes=$((passes + 1)); echo "ok: $1"
  else failures=$((failures + 1)); echo "FAILED: $1"; fi
}
# Like check, but the steps after it need it: on failure the test ends at
# once, with its programs, instead of waiting out every later step.
require() { # require DESCRIPTION COMMAND...
  check "$@"
  [ "$failures" -eq 0 ] && return 0
  echo "stopping: the later steps need this one"
  local job
  for job in $(jobs -p); do kill "$job" 2>/dev/null; done
  echo "$passes passed, $failures failed"
  exit 1
}
wait_window() { # wait_window TITLE_REGEX SECONDS [PID] -> prints the window id
  local deadline=$((SECONDS + $2)) id of=()
  [ -n "${3:-}" ] && of=(--all --pid "$3")
  while [ $SECONDS -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible "${of[@]}" --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
wait_file() { # wait_file PATH SECONDS
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt "$deadline" ]; do [ -s "$1" ] && return 0; sleep 0.2; done
  return 1
}
wait_exit() { # wait_exit PID SECONDS -> exit status, or 124 on timeout
  local deadline=$((SECONDS + $2))
  while kill -0 "$1" 2>/dev/null; do
    [ $SECONDS -ge "$deadline" ] && { kill "$1"; return 124; }
    sleep 0.2
  done
  wait "$1"
}
# Presses keys in a window until another window with the title shows up: a
# key sent while the window manager is still handing the focus over is lost.
press_until() { # press_until WINDOW TITLE_REGEX SECONDS KEYS...
  local window=$1 title=$2 deadline=$((SECONDS + $3)) id
  shift 3
  while [ $SECONDS -lt "$deadline" ]; do
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    xdotool key --clearmodifiers --delay 150 "$@"
    id=$(wait_window "$title" 3) && { echo "$id"; return 0; }
    xdotool key Escape Escape
  done
  return 1
}

press_until_gone() { # press_until_gone WINDOW KEY SECONDS: true once the window has gone
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt "$deadline" ]; do
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool key --clearmodifiers "$2"
    sleep 0.5
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
  done
  return 1
}
# Closes a window with Alt+F4, again while the program is still there.
close_and_wait() { # close_and_wait WINDOW PID SECONDS -> the program's exit status
  local deadline=$((SECONDS + $3)) tick
  while [ $SECONDS -lt "$deadline" ]; do
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool key --clearmodifiers alt+F4
    for tick in 1 2 3 4 5 6 7 8 9 10; do
      kill -0 "$2" 2>/dev/null || { wait "$2"; return; }
      sleep 0.2
    done
  done
  kill "$2"
  return 124
}
# The first start in a new data folder offers a passphrase before the frame.
answer_later() { # answer_later SECONDS [PID]: true once the offer was shown and put off
  local offer
  offer=$(wait_window '^Protect the Data Folder$' "$1" "${2:-}") || return 1
  press_until_gone "$offer" Escape 10
}
