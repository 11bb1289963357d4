#!/usr/bin/env bash
# Folder synchronization benchmark: rsync and cp against norvane-backup-cli on
# the same trees, in one run. Prints wall times and the ratios ours/peer.
#   bench/sync_bench.sh [BUILD_DIR]
# Cases: initial sync of 20,000 small files in 4,000 folders (rsync -a --delete),
# analysis with no changes (rsync -a --delete -n), one 512 MiB file (cp), and
# the peak memory of an analysis over 100,000 files.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_common.sh
BUILD_DIR=${1:-build}
CLI="$BUILD_DIR/src/cli/norvane-backup-cli"
bench_setup "$BUILD_DIR" norvane-backup-cli "$CLI" rsync
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
UID_SYNC=SNK202401010000000001

# Tree of $2 small files spread over $3 folders (in nested groups of ten) under $1.
make_tree() {
  python3 - "$1" "$2" "$3" <<'PY'
import os, sys
root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for f in range(folders):
    d = os.path.join(root, "g%03d" % (f // 100), "s%02d" % ((f // 10) % 10), "d%d" % (f % 10))
    os.makedirs(d, exist_ok=True)
for i in range(files):
    f = i % folders
    d = os.path.join(root, "g%03d" % (f // 100), "s%02d" % ((f // 10) % 10), "d%d" % (f % 10))
    with open(os.path.join(d, "file%06d.txt" % i), "wb") as out:
        out.write((b"line %d of a small file\n" % i) * (1 + i % 40))
PY
}

# Wall nanoseconds of a command (output discarded).
wall() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $((end - start))
}

drop_caches() { sync; }

# The shortest of three runs; the setup command ($1) runs before each (not timed).
best_of3() {
  local setup=$1 best=0 t
  shift
  for _ in 1 2 3; do
    eval "$setup"
    drop_caches
    t=$(wall "$@")
    if [ "$best" -eq 0 ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}

report() { # name peer_ns ours_ns target
  awk -v n="$1" -v p="$2" -v o="$3" -v t="$4" \
    'BEGIN { printf "%-34s peer %7.3f s   ours %7.3f s   ratio %.2f (target <= %s)\n", n, p / 1e9, o / 1e9, o / p, t }'
}

echo "== building trees in $WORK"
make_tree "$WORK/small" 20000 4000

# 1. Initial sync of many small files (each run into an empty storage folder).
write_profile "$WORK/small" "$WORK/our_dst" "$WORK/data1"
T_RSYNC=$(best_of3 'rm -rf "$WORK/rsync_dst"' rsync -a --delete "$WORK/small/" "$WORK/rsync_dst/")
T_OURS=$(best_of3 'rm -rf "$WORK/our_dst"' "$CLI" --data-dir "$WORK/data1" run "$UID_SYNC")
diff -r "$WORK/small" "$WORK/our_dst" >/dev/null && echo "initial sync: storage equals source (diff -r)" \
  || echo "initial sync: storage DIFFERS from source"
report "initial sync 20k files/4k folders" "$T_RSYNC" "$T_OURS" 1.0

# 2. Analysis with nothing to do.
T_RSYNC_N=$(best_of3 : rsync -a --delete -n "$WORK/small/" "$WORK/rsync_dst/")
T_OURS_N=$(best_of3 : "$CLI" --data-dir "$WORK/data1" analyse "$UID_SYNC")
report "analysis, no changes" "$T_RSYNC_N" "$T_OURS_N" 1.0

# 3. One large file.
mkdir -p "$WORK/big"
head -c $((512 * 1024 * 1024)) /dev/urandom >"$WORK/big/large.bin"
T_CP=$(best_of3 'rm -f "$WORK/cp_large.bin"' cp "$WORK/big/large.bin" "$WORK/cp_large.bin")
rm -f "$WORK/cp_large.bin"
write_profile "$WORK/big" "$WORK/big_dst" "$WORK/data2"
T_OURS_BIG=$(best_of3 'rm -rf "$WORK/big_dst"' "$CLI" --data-dir "$WORK/data2" run "$UID_SYNC")
cmp -s "$WORK/big/large.bin" "$WORK/big_dst/large.bin" && echo "large file: copy identical" \
  || echo "large file: copy DIFFERS"
report "one 512 MiB file" "$T_CP" "$T_OURS_BIG" 1.1
rm -rf "$WORK/big" "$WORK/big_dst"

# 4. Peak memory of an analysis over 100,000 files (all new: both lists and the result list).
make_tree "$WORK/many" 100000 10000
write_profile "$WORK/many" "$WORK/many_dst" "$WORK/data3"
if [ -x /usr/bin/time ]; then
  PEAK_KB=$( { /usr/bin/time -f '%M' "$CLI" --data-dir "$WORK/data3" analyse "$UID_SYNC" >/dev/null; } 2>&1 | tail -1)
  printf '%-34s peak %d MB (target < 150 MB)\n' "analysis 100k files, all new" $((PEAK_KB / 1024))
  rsync -a "$WORK/many/" "$WORK/many_dst/"
  PEAK_KB=$( { /usr/bin/time -f '%M' "$CLI" --data-dir "$WORK/data3" analyse "$UID_SYNC" >/dev/null; } 2>&1 | tail -1)
  printf '%-34s peak %d MB (target < 150 MB)\n' "analysis 100k files, no changes" $((PEAK_KB / 1024))
else
  echo "/usr/bin/time is not installed: memory not measured"
fi
