#!/usr/bin/env bash
# Runs a command inside a private Wayland desktop session: a headless
# compositor with XWayland, a private D-Bus session with the accessibility bus,
# and private HOME / XDG folders, so nothing touches the machine. Compositors
# refuse to run as root, so under root the compositor and the command run as an
# unprivileged user; the command and the files named with --with are copied
# into a folder of the session's own first (a build tree may sit where that
# user cannot reach).
# Usage: wayland-session.sh [--compositor sway|mutter|gnome-shell|kwin] [--layout XKB[,XKB]...]
#          [--shell-language LL_CC] [--with FILE]... COMMAND [ARGS...]
# (--layout is the keyboard layout mutter starts with, or gnome-shell's input
# sources; sway's is set through its IPC. --shell-language is gnome-shell's
# language, whose own layout GNOME adds as the last group of the keymap.)
# The command finds WAYLAND_DISPLAY, DISPLAY (XWayland), the compositor's own
# variables (SWAYSOCK), QL_SESSION_BIN (the copied files) and
# QL_SESSION_COMPOSITOR set; it runs in a private folder whose files (its
# screenshots and logs) are copied back into the caller's folder at the end.
# --compositor gnome-shell runs GNOME's shell headless over mutter, with the
# desktop portal, its settings in a key file of the session's XDG_CONFIG_HOME.
# --compositor kwin runs a headless KWin (kwin_wayland --virtual, with XWayland
# only when QL_KWIN_XWAYLAND=1), with its permission checks off unless
# QL_KWIN_PERMISSION_CHECKS=1;
# its keyboard layouts come from kxkbrc in XDG_CONFIG_HOME.
# Exits with 77 (skipped) when the compositor is not installed.
set -euo pipefail
compositor=sway
layout=us
shell_language=en_US
with=()
while [ $# -gt 0 ]; do
  case "$1" in
    --compositor) compositor=$2; shift 2 ;;
    --with) with+=("$2"); shift 2 ;;
    --layout) layout=$2; shift 2 ;;
    --shell-language) shell_language=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--compositor NAME] [--with FILE]... COMMAND [ARGS...]" >&2; exit 2; }
executable=$compositor
[ "$compositor" != kwin ] || executable=kwin_wayland
if ! command -v "$executable" >/dev/null; then
  echo "wayland-session: $compositor is not installed: skipped" >&2
  exit 77
fi

if [ "$compositor" = mutter ] || [ "$compositor" = gnome-shell ]; then
  for f in /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome; do
    [ -x "$f" ] || { echo "wayland-session: $f is not installed: skipped" >&2; exit 77; }
  done
fi

caller_dir=$PWD
work=$(mktemp -d /tmp/ql-wayland.XXXXXX)
chmod 755 "$work"
pids=()
compositor_pid=
cleanup() {
  # Defined further down: an early exit (a file that could not be copied) has none to stop.
  ! declare -F stop_compositor >/dev/null || stop_compositor
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  # Copies of the files alone: the caller's folder keeps its owner and modes.
  find "$work/out" -mindepth 1 -maxdepth 1 -exec cp -r {} "$caller_dir/" \; 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The session's user: ourselves, or an unprivileged one under root.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  uid=65534
  getent passwd $uid >/dev/null || useradd --system --uid $uid --no-create-home \
    --home-dir /nonexistent --shell /usr/sbin/nologin nobody
  as_user=(setpriv --reuid=$uid --regid=$uid --clear-groups)
fi

mkdir -p "$work/bin" "$work/out" "$work/home/.config" "$work/home/.local/share" "$work/run"
chmod 700 "$work/run"
for f in "$1" "${with[@]}"; do cp -a "$f" "$work/bin/"; done
[ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$work/out" "$work/home" "$work/run"
program="$work/bin/$(basename "$1")"
shift

export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share" GSETTINGS_BACKEND=memory
export QL_SESSION_BIN="$work/bin" QL_SESSION_COMPOSITOR="$compositor"
# As a desktop's login sets them: toolkits then choose Wayland by themselves.
desktop_name=$compositor
[ "$compositor" != kwin ] || desktop_name=KDE
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP="$desktop_name"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS

# Waits until the file $1 exists and is not empty (10 s at most).
wait_file() {
  for _ in $(seq 200); do [ -s "$1" ] && return 0; sleep 0.05; done
  echo "wayland-session: $1 did not appear" >&2
  return 1
}

"${as_user[@]}" dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/bus" --nofork \
  --nopidfile >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/bus" ] && break; sleep 0.05; done
if [ -x /usr/libexec/at-spi-bus-launcher ]; then
  "${as_user[@]}" /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
  pids+=($!)
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

# Each compositor writes the session's variables into $work/session.env once
# its socket and XWayland are ready.
start_sway() {
  cat >"$work/sway.config" <<CONFIG
xwayland force
output HEADLESS-1 resolution 1280x1024
focus_on_window_activation focus
exec sh -c 'env | grep -E "^(WAYLAND_DISPLAY|DISPLAY|SWAYSOCK)=" > "$work/session.tmp" && mv "$work/session.tmp" "$work/session.env"'
CONFIG
  chmod 644 "$work/sway.config"
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    setsid "${as_user[@]}" sway -c "$work/sway.config" >"$work/out/compositor.log" 2>&1 &
  compositor_pid=$! # the leader of a process group of its own
}

# GNOME's compositor, headless on a virtual monitor, without X11; the desktop
# portal (started by the bus on first use) learns the display and the desktop
# from the bus's activation environment, as a GNOME login sets them.
start_mutter() {
  local name=ql-wayland-0
  XDG_CURRENT_DESKTOP=GNOME XKB_DEFAULT_LAYOUT="$layout" setsid "${as_user[@]}" mutter --headless --wayland --no-x11 \
    --virtual-monitor 1280x1024 --wayland-display "$name" >"$work/out/compositor.log" 2>&1 &
  compositor_pid=$!
  for _ in $(seq 200); do [ -S "$XDG_RUNTIME_DIR/$name" ] && break; sleep 0.05; done
  [ -S "$XDG_RUNTIME_DIR/$name" ] || { echo "wayland-session: mutter did not start" >&2; exit 1; }
  "${as_user[@]}" dbus-update-activation-environment WAYLAND_DISPLAY="$name" \
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland >/dev/null 2>&1 || true
  echo "WAYLAND_DISPLAY=$name" >"$work/session.env"
  export XDG_CURRENT_DESKTOP=GNOME
}

# GNOME's own shell over the same compositor. The keyboard layouts are the
# input sources of GNOME's settings, kept in a key file of the session's
# XDG_CONFIG_HOME that the shell watches (a test changes them with
# gsettings). Key repeat is off: a just-started receiver that stalls between a
# key's press and release would repeat the key. An extension of the session's
# own leaves the overview the shell starts in, as a login's first window does.
start_gnome_shell() {
  local name=ql-wayland-0 sources=() l uuid=ql-session@quillock.invalid
  IFS=, read -ra layouts <<<"$layout"
  for l in "${layouts[@]}"; do sources+=("('xkb', '$l')"); done
  mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_DATA_HOME/gnome-shell/extensions/$uuid"
  cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<KEYFILE
[org/gnome/desktop/input-sources]
sources=[$(IFS=,; echo "${sources[*]}")]
[org/gnome/desktop/peripherals/keyboard]
repeat=false
[org/gnome/shell]
welcome-dialog-last-shown-version='999'
enabled-extensions=['$uuid']
[org/gnome/desktop/notifications]
show-banners=false
KEYFILE
  cat >"$XDG_DATA_HOME/gnome-shell/extensions/$uuid/metadata.json" <<META
{"uuid": "$uuid", "name": "Test session", "description": "Leaves the overview", "shell-version": ["43"]}
META
  cat >"$XDG_DATA_HOME/gnome-shell/extensions/$uuid/extension.js" <<'EXTENSION'
const Main = imports.ui.main;
function init() {}
function enable() {
    const hide = () => Main.overview.hide();
    if (Main.layoutManager._startingUp) Main.layoutManager.connect('startup-complete', hide);
    else hide();
}
function disable() {}
EXTENSION
  [ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  # The shell asks the system bus for the login manager: a bus of its own,
  # where none answers, keeps it off the machine's.
  "${as_user[@]}" dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/system_bus" --nofork \
    --nopidfile >"$work/system-dbus.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/system_bus" ] && break; sleep 0.05; done
  DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system_bus" XDG_CURRENT_DESKTOP=GNOME \
    LANGUAGE="$shell_language" setsid "${as_user[@]}" gnome-shell --headless --wayland --no-x11 \
    --virtual-monitor 1280x1024 --wayland-display "$name" >"$work/out/compositor.log" 2>&1 &
  compositor_pid=$!
  for _ in $(seq 400); do [ -S "$XDG_RUNTIME_DIR/$name" ] && break; sleep 0.05; done
  [ -S "$XDG_RUNTIME_DIR/$name" ] || { echo "wayland-session: gnome-shell did not start" >&2; exit 1; }
  "${as_user[@]}" dbus-update-activation-environment WAYLAND_DISPLAY="$name" \
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland GSETTINGS_BACKEND=keyfile >/dev/null 2>&1 || true
  # The shell is ready once it has its screenshot service.
  for _ in $(seq 200); do
    "${as_user[@]}" dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.gnome.Shell.Screenshot 2>/dev/null | grep -q true && break
    sleep 0.05
  done
  echo "WAYLAND_DISPLAY=$name" >"$work/session.env"
  export XDG_CURRENT_DESKTOP=GNOME
}

# KWin loads its platform plugin only into a program of that name, and a copy
# runs where the installed one carries a file capability the sandbox refuses.
start_kwin() {
  mkdir -p "$work/kwin"
  cp "$(command -v kwin_wayland)" "$work/kwin/kwin_wayland"
  cat >"$work/kwin/ready.sh" <<READY
#!/bin/sh
env | grep -E "^(WAYLAND_DISPLAY|DISPLAY)=" > "$work/session.tmp" && mv "$work/session.tmp" "$work/session.env"
READY
  chmod 755 "$work/kwin" "$work/kwin/ready.sh"
  local checks=(env KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1)
  local xwayland=()
  [ "${QL_KWIN_XWAYLAND:-0}" != 1 ] || xwayland=(--xwayland)
  [ "${QL_KWIN_PERMISSION_CHECKS:-0}" != 1 ] || checks=(env -u KWIN_WAYLAND_NO_PERMISSION_CHECKS KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1)
  setsid "${as_user[@]}" "${checks[@]}" "$work/kwin/kwin_wayland" --virtual "${xwayland[@]}" --width 1280 --height 1024 \
    --socket "ql-kwin-$$" "$work/kwin/ready.sh" >"$work/out/compositor.log" 2>&1 &
  compositor_pid=$!
}

[ ${#as_user[@]} -eq 0 ] || chown 65534:65534 "$work"
# Asks the compositor to end with its own quit command, then ends what is left
# of its process group: the helper it forks to start XWayland waits for a
# signal of its own and outlives it otherwise.
stop_compositor() {
  [ -n "$compositor_pid" ] || return 0
  case "$compositor" in
    sway) [ -z "${SWAYSOCK:-}" ] || "${as_user[@]}" swaymsg -s "$SWAYSOCK" exit >/dev/null 2>&1 || true ;;
    # XWayland would go at the same time otherwise, and KWin crashes on losing it.
    kwin) kill -TERM "$compositor_pid" 2>/dev/null || true ;;
  esac
  for _ in $(seq 40); do kill -0 "$compositor_pid" 2>/dev/null || break; sleep 0.05; done
  kill -KILL -- "-$compositor_pid" 2>/dev/null || true
  wait "$compositor_pid" 2>/dev/null || true
  compositor_pid=
}

case "$compositor" in
  sway) start_sway ;;
  mutter) start_mutter ;;
  gnome-shell) export GSETTINGS_BACKEND=keyfile; start_gnome_shell ;;
  kwin) start_kwin ;;
  *) echo "wayland-session: no way to start $compositor" >&2; exit 2 ;;
esac
wait_file "$work/session.env"
set -a
. "$work/session.env"
set +a

cd "$work/out"
status=0
"${as_user[@]}" "$program" "$@" || status=$?
exit $status
