#!/usr/bin/env bash
# Builds the engine tests that run worker threads with ThreadSanitizer into
# build-tsan/ and runs them; the first race reported fails the run.
# TSAN_TARGETS replaces the list of test executables; extra arguments go to
# ctest (for example -R SyncRunControl).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${TSAN_BUILD_DIR:-build-tsan}
TARGETS=${TSAN_TARGETS:-"test_sync test_zip test_folderzip test_app test_scripts test_settings test_archive test_util test_cli"}

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNORVANE_BUILD_GUI=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
fi
# shellcheck disable=SC2086
cmake --build "$BUILD_DIR" --target $TARGETS

# Qt comes uninstrumented from Debian: the suppressions name only its own
# internals, never this program's code.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=4 suppressions=$PWD/scripts/tsan.supp ${TSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
# Only the executables built above have their tests listed; the others show
# up as *_NOT_BUILT placeholders.
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" \
  -E '_NOT_BUILT$|^LayerCheck\.' "$@"
