#!/usr/bin/env bash
# Installs what building and testing Tessarin needs on Debian 12, and only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libxkbcommon-dev libgl-dev
  libicu-dev libgtest-dev libgmock-dev libsqlite3-dev
  clang libclang-rt-14-dev
  mdbtools
  xvfb xauth xdotool imagemagick x11-apps x11-xserver-utils openbox wmctrl
  at-spi2-core dbus-x11 python3-pyatspi gir1.2-atspi-2.0
  fonts-arphic-uming
  nodejs npm
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# node and npm may come from outside Debian on some machines; they are fine as they are.
if command -v node >/dev/null && command -v npm >/dev/null; then
  filtered=()
  for p in "${missing[@]}"; do [[ $p == nodejs || $p == npm ]] || filtered+=("$p"); done
  missing=("${filtered[@]+"${filtered[@]}"}")
fi

if ((${#missing[@]})); then
  echo "setup: installing Debian packages: ${missing[*]}"
  SUDO=""; [[ $(id -u) == 0 ]] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
  $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: every Debian package is already installed"
fi

# mdb-reader, an independent reader used only by the interop tests.
here=$(cd "$(dirname "$0")/.." && pwd)
if [[ ! -d $here/tests/interop/node_modules/mdb-reader ]]; then
  echo "setup: installing npm package mdb-reader@3 into tests/interop"
  (cd "$here/tests/interop" && npm install --no-audit --no-fund --silent) || echo "setup: mdb-reader could not be installed; its interop tests will skip"
fi
