#!/usr/bin/env bash
# The main window's speed: 1,000 profiles shown after loading, rows painted
# while scrolling, and a 20,000-file sync followed by the window against the
# command-line tool on the same tree.
#   bench/main_window_bench.sh [BUILD_DIR] [files]
# The trees live in memory (/dev/shm) unless BENCH_TMPDIR names another
# folder: on a shared disk the file system's own state (ext4 passes over
# recently freed inodes for minutes) moved single runs of either side by a
# factor of five, which drowned what the window adds.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
tmp=${BENCH_TMPDIR:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
cmake --build "$BUILD_DIR" --target main_window_bench norvane-backup-cli
echo "trees in $tmp"
TMPDIR=$tmp QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$BUILD_DIR/bench/main_window_bench" "$BUILD_DIR/src/cli/norvane-backup-cli" "${2:-20000}"
