#!/usr/bin/env bash
# Runs the keystroke benchmark inside a private X session (Xvfb + openbox),
# then its Wayland part inside a private headless sway, and its GNOME part
# under a private headless GNOME shell with the desktop portal.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${QL_BUILD_DIR:-$root/build-release}"
"$root/tests/support/x11-session.sh" "$build/bench/keys/bench_keys"
out=$(mktemp -d /tmp/ql-bench-keys.XXXXXX)
trap 'rm -rf "$out"' EXIT
cd "$out"
"$root/tests/support/wayland-session.sh" "$build/bench/keys/bench_keys_wayland"
"$root/tests/support/wayland-session.sh" --compositor gnome-shell "$build/bench/keys/bench_keys_gnome"
"$root/tests/support/wayland-session.sh" --compositor kwin \
  --with "$build/tests/support/receiver/ql_receiver" "$build/bench/keys/bench_keys_kwin"
