#!/usr/bin/env bash
# Builds the engine tests that run worker threads with ThreadSanitizer into
# build-tsan/ and runs them; the first race reported fails the run.
# TSAN_TARGETS replaces the list of test executables; extra arguments go to
# ctest (for example -R SyncRunControl).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so that another clone (CI) hits the same cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
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
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=4 die_after_fork=0 suppressions=$PWD/scripts/tsan.supp ${TSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
# Left out: executables not built above (their *_NOT_BUILT placeholders), and
# tests the detector cannot follow: those that start children through
# QProcess from a process whose threads have run (after such a start the
# detector no longer sees the hand-offs it sees in every other test, and
# reports them as races), and a child capped to 1.5 GiB of address space (the
# detector's shadow memory alone is larger).
skipped='_NOT_BUILT$|^LayerCheck\.|^SyncStorageLinkTest\.|^CliSettingsFile\.PackedValuesThatInflateToGigabytesReadAsEmptyAtStart$|^SaveCrash\.KillDuringAPass'
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" -E "$skipped" "$@"
