#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec "${BUILD_DIR:-build}/src/app/norvane-backup" "$@"
