#!/usr/bin/env bash
# Archive benchmark: Info-ZIP "zip -r -6" and "zip -r -1" against TZipWriter
# (through bench/zip_bench_driver) on the same ~300 MB mixed corpus, in one
# run. Prints wall times, archive sizes and the ratios ours/zip.
#   bench/zip_bench.sh [BUILD_DIR] [THREADS]
# THREADS: 0 = every core (default), 1 = single-threaded.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_common.sh
BUILD_DIR=${1:-build}
THREADS=${2:-0}
DRIVER="$BUILD_DIR/bench/zip_bench_driver"
bench_setup "$BUILD_DIR" zip_bench_driver "$DRIVER" zip
CORPUS="$WORK/corpus"
make_corpus "$CORPUS"
FILES=$(find "$CORPUS" -type f | wc -l)
echo "corpus: $(du -sb "$CORPUS" | cut -f1) bytes in $FILES files"
# Warm the page cache so both programs read from memory.
cat $(find "$CORPUS" -type f) > /dev/null 2>&1 || true

run_zip() { # level -> "time size"
  rm -f "$WORK/zip.zip"
  local t0 t1
  t0=$(seconds); (cd "$WORK" && zip -q -r "-$1" zip.zip corpus); t1=$(seconds)
  echo "$(echo "$t1 - $t0" | bc) $(stat -c %s "$WORK/zip.zip")"
}
run_ours() { # level -> "time size"
  rm -f "$WORK/ours.zip"
  local t0 t1
  t0=$(seconds); "$DRIVER" "$1" "$THREADS" "$WORK/ours.zip" "$CORPUS" >/dev/null; t1=$(seconds)
  echo "$(echo "$t1 - $t0" | bc) $(stat -c %s "$WORK/ours.zip")"
}

printf '%-6s %10s %10s %8s %14s %14s %8s\n' level zip_s ours_s time_x zip_bytes ours_bytes size_x
for level in 6 1; do
  read -r zt zs < <(run_zip "$level")
  read -r ot os < <(run_ours "$level")
  unzip -tq "$WORK/ours.zip" >/dev/null || echo "unzip -t FAILED for level $level"
  printf '%-6s %10.2f %10.2f %8.3f %14d %14d %8.4f\n' "-$level" "$zt" "$ot" "$(echo "$ot / $zt" | bc -l)" \
    "$zs" "$os" "$(echo "$os / $zs" | bc -l)"
done
