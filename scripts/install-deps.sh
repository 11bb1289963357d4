#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the test oracles
# need. Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev zlib1g-dev libzip-dev libgtest-dev
  unzip zip 7zip rsync python3 xvfb xauth imagemagick
  libtsan2 ccache
)
# --windows adds the cross compiler, zlib and GoogleTest sources for Windows
# and Wine to run the result (scripts/test-windows.sh).
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
