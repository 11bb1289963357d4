#!/usr/bin/env bash
# Installs what is missing, checks the layer order of the includes, builds
# everything and runs the whole test suite, then the thread check
# (scripts/tsan.sh; NORVANE_SKIP_TSAN=1 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Quick and independent of the build: an include against the layer order fails at once.
python3 scripts/check_layers.py
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
if [ "${NORVANE_SKIP_TSAN:-0}" != "1" ]; then
  scripts/tsan.sh
fi
