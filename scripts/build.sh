#!/usr/bin/env bash
# Configures (once) and builds the project with Ninja into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so that another clone (CI) hits the same cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
BUILD_DIR=${BUILD_DIR:-build}
# ccache (added by the install script) makes a rebuild of an unchanged tree
# nearly free, which keeps CI on a clean clone short.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
fi
cmake --build "$BUILD_DIR"
