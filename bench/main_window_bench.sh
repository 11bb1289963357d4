#!/usr/bin/env bash
# The main window's speed: 1,000 profiles shown after loading, rows painted
# while scrolling, and a 20,000-file sync followed by the window against the
# command-line tool on the same tree.
#   bench/main_window_bench.sh [BUILD_DIR] [files]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
cmake --build "$BUILD_DIR" --target main_window_bench norvane-backup-cli
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$BUILD_DIR/bench/main_window_bench" "$BUILD_DIR/src/cli/norvane-backup-cli" "${2:-20000}"
