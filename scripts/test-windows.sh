#!/usr/bin/env bash
# The Windows side: cross-builds the platform layer and the archive writer with
# MinGW-w64 into build-win/ and runs their tests under Wine. The archives the
# Windows tests write are then checked here, on the Linux side, with unzip,
# 7zz and Python's zipfile (inside Wine a Linux program's exit status always
# reads 0).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so that another clone (CI) hits the same cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
started=$SECONDS
scripts/install-deps.sh --windows
installed=$SECONDS

build="${WIN_BUILD_DIR:-build-win}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DNORVANE_QT_FREE_ONLY=ON "${launcher[@]}"
cmake --build "$build"
built=$SECONDS

# Wine gets a home, XDG folders and a prefix of its own inside the build
# folder; the shell's recycle bin lives in the XDG data folder, and without it
# Wine deletes for good instead.
sandbox="$PWD/$build/wine-home"
rm -rf "$sandbox"
mkdir -p "$sandbox/home/.config" "$sandbox/home/.local/share/Trash" "$sandbox/home/.cache" "$sandbox/runtime"
chmod 700 "$sandbox/runtime"
export HOME="$sandbox/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$sandbox/runtime"
export WINEPREFIX="$sandbox/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mshtml=d;mscoree=d"
export WINEARCH=win64
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# Archives for the Linux-side check below.
export NORVANE_ARCHIVE_EXPORT_DIR="$sandbox/archives"
mkdir -p "$NORVANE_ARCHIVE_EXPORT_DIR"

# Wine takes drive C:'s serial number from this file: a drive with a known ID.
mkdir -p "$WINEPREFIX/drive_c"
echo 1a2b3c4d > "$WINEPREFIX/drive_c/.windows-serial"
# The prefix is made and the server started before ctest: otherwise the
# server and its helpers inherit ctest's output pipe and the first test waits
# for them until its time-out.
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
status=0
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" </dev/null || status=$?
"$wineserver" -k >/dev/null 2>&1 || true
trap - EXIT
tested=$SECONDS

scripts/check-exported-archives.sh "$NORVANE_ARCHIVE_EXPORT_DIR" || status=1
echo "Windows check: install $((installed - started)) s, build $((built - installed)) s," \
     "tests $((tested - built)) s, archive check $((SECONDS - tested)) s, total $((SECONDS - started)) s"
exit $status
