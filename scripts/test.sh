#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite,
# then the thread check (scripts/tsan.sh; NORVANE_SKIP_TSAN=1 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
if [ "${NORVANE_SKIP_TSAN:-0}" != "1" ]; then
  scripts/tsan.sh
fi
