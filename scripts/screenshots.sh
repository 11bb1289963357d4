#!/usr/bin/env bash
# Photographs every window in both languages under a virtual X server.
# The pictures land in build/screenshots/ (or $BUILD_DIR/screenshots/);
# extra arguments go to the tool, e.g. --only main_window.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
cmake --build "$build" --target norvane-screenshots
out="$build/screenshots"
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1920x1080x24" \
  env QT_QPA_PLATFORM=xcb "$build/tests/norvane-screenshots" --out "$out" "$@"
