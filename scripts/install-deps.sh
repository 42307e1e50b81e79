#!/usr/bin/env bash
# Installs the Debian packages needed to build, run, test and package Quillock.
# Run by an ordinary user, it installs what is missing through sudo.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev
  qt6-base-dev libsqlcipher-dev libsodium-dev
  libxtst-dev libx11-xcb-dev libxcb1-dev libxkbcommon-dev libxkbcommon-x11-dev x11-xkb-utils
  xvfb xauth x11-utils openbox trayer poppler-utils fonts-dejavu-core
  dbus dbus-x11 at-spi2-core libatspi2.0-dev imagemagick xdotool wamerican
  clang libclang-rt-14-dev sqlcipher cups-daemon cups-client libcups2-dev
  dpkg-dev librsvg2-bin desktop-file-utils appstream groff-base fusefat dosfstools fuse3
  libwayland-dev wayland-protocols qt6-wayland sway xwayland foot xterm grim zenity wl-clipboard
  kwin-wayland libkf5service-bin
  libzxcvbn-dev chromium mutter xdg-desktop-portal xdg-desktop-portal-gnome gnome-shell)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: missing Debian packages: ${missing[*]}" >&2
    echo "install-deps: install them as root (apt-get install ...), or install sudo" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]} through sudo" >&2
  as_root=(sudo)
fi
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${apt[@]}" update -qq
"${apt[@]}" install -y --no-install-recommends "${missing[@]}"
