#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Quillock.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev
  qt6-base-dev libsqlcipher-dev libsodium-dev
  libxtst-dev libx11-xcb-dev libxcb1-dev libxkbcommon-dev libxkbcommon-x11-dev x11-xkb-utils
  xvfb xauth x11-utils openbox trayer poppler-utils fonts-dejavu-core
  dbus dbus-x11 at-spi2-core libatspi2.0-dev imagemagick xdotool wamerican
  clang libclang-rt-14-dev sqlcipher cups-daemon cups-client libcups2-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=600 update -qq
  apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi
