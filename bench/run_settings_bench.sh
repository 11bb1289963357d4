#!/usr/bin/env bash
# Builds and runs the settings benchmark: 1,000 profiles of all kinds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/bench/settings_bench "${1:-1000}" "${2:-7}"
