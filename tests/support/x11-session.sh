#!/usr/bin/env bash
# Runs a command inside a private desktop session: its own Xvfb display (chosen by
# the server), openbox as window manager, a private D-Bus session with the
# accessibility bus, and private HOME / XDG folders so nothing touches the machine.
# Usage: x11-session.sh [--no-wm] COMMAND [ARGS...]
set -euo pipefail
with_wm=1
if [ "${1:-}" = "--no-wm" ]; then with_wm=0; shift; fi

work=$(mktemp -d /tmp/ql-x11.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share" GSETTINGS_BACKEND=memory
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
chmod 700 "$XDG_RUNTIME_DIR"

exec 3> "$work/displayfd"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
exec 3>&-
export DISPLAY=":$(head -n1 "$work/displayfd")"
unset WAYLAND_DISPLAY

dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/bus" --nofork --nopidfile \
  >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/bus" ] && break; sleep 0.05; done

if [ -x /usr/libexec/at-spi-bus-launcher ]; then
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
  pids+=($!)
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

if [ "$with_wm" = 1 ]; then
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  # Wait until the window manager announces itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi

unset QT_QPA_PLATFORM
"$@"
