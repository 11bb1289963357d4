#!/usr/bin/env bash
# Sync on large trees of one-byte files: norvane-backup-cli against rsync on
# the same tree, in one run. Prints the best of three wall times, the peak
# memory (maximum resident set, /usr/bin/time -f %M) and the ratios ours/rsync.
#   bench/sync_scale_bench.sh [--million] [--runs N] [--keep] [BUILD_DIR]
# Default: 100,000 files in 10,000 folders. --million: 1,000,000 files in
# 100,000 folders (about 4 GB of inodes and folders; the tree takes minutes to
# make). The trees live under $BENCH_DIR (default: a new folder in /tmp) and are
# removed at the end unless --keep is given.
# Cases: first run into an empty storage folder (rsync -a), analysis with no
# changes (rsync -an), peak memory of both. The two programs run in turns,
# round by round, each round printed with the load average.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_common.sh

FILES=100000
FOLDERS=10000
RUNS=3
KEEP=0
BUILD_DIR=build-rel
while [ $# -gt 0 ]; do
  case "$1" in
    --million) FILES=1000000; FOLDERS=100000 ;;
    --runs) RUNS=$2; shift ;;
    --keep) KEEP=1 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) BUILD_DIR=$1 ;;
  esac
  shift
done

CLI="${CLI:-$BUILD_DIR/src/cli/norvane-backup-cli}"
if [ ! -x "$CLI" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNORVANE_BUILD_GUI=OFF >/dev/null
  cmake --build "$BUILD_DIR" --target norvane-backup-cli
fi
command -v rsync >/dev/null || { echo "rsync is not installed (scripts/install-deps.sh)"; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is not installed"; exit 1; }

WORK=${BENCH_DIR:-$(mktemp -d)}
mkdir -p "$WORK"
if [ "$KEEP" -eq 0 ]; then trap 'rm -rf "$WORK"' EXIT; fi
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
UID_SYNC=SNK202401010000000001
SRC="$WORK/src_$FILES"
OURS="$WORK/ours_dst"
PEER="$WORK/rsync_dst"

# $2 one-byte files spread evenly over $3 folders in groups of ten under $1.
make_tree() {
  python3 - "$1" "$2" "$3" <<'PY'
import os, sys
root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
per = files // folders
for f in range(folders):
    d = os.path.join(root, "g%04d" % (f // 100), "s%02d" % ((f // 10) % 10), "d%d" % (f % 10))
    os.makedirs(d, exist_ok=True)
    for i in range(per):
        fd = os.open(os.path.join(d, "file%07d.txt" % (f * per + i)), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        os.write(fd, b"x")
        os.close(fd)
PY
}

TIMING="$WORK/timing"
# Runs a command, prints "seconds peak_kb processor_seconds" (user and
# system time, which a loaded machine disturbs less than the wall time); its
# output is discarded.
measure() {
  /usr/bin/time -f '%e %M %U %S' -o "$TIMING.one" "$@" >/dev/null 2>&1 || true
  awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$TIMING.one" | tail -1 >"$TIMING.two"
  mv "$TIMING.two" "$TIMING.one"
  tail -1 "$TIMING.one"
}

# The peer's command and ours in turns, $RUNS rounds, so that both meet the
# same load on a shared machine; each round prints its times and the load.
# $1/$2: setup before the peer's / our command (not timed), $3/$4: the
# commands (eval'd). Sets PEER_BEST and OURS_BEST to "seconds peak_kb" of the
# best round of each and prints the least processor time of each.
interleaved() {
  : >"$TIMING.peer"
  : >"$TIMING.ours"
  for round in $(seq "$RUNS"); do
    eval "$1"; sync
    eval "measure $3" >>"$TIMING.peer"
    eval "$2"; sync
    eval "measure $4" >>"$TIMING.ours"
    echo "   round $round: rsync $(tail -1 "$TIMING.peer" | awk '{ print $1 " s (processor " $3 " s)" }')," \
      "ours $(tail -1 "$TIMING.ours" | awk '{ print $1 " s (processor " $3 " s)" }'), load $(cut -d' ' -f1-3 /proc/loadavg)"
  done
  PEER_BEST=$(sort -n "$TIMING.peer" | head -1)
  OURS_BEST=$(sort -n "$TIMING.ours" | head -1)
  local peer_cpu ours_cpu
  peer_cpu=$(sort -n -k3 "$TIMING.peer" | head -1 | cut -d' ' -f3)
  ours_cpu=$(sort -n -k3 "$TIMING.ours" | head -1 | cut -d' ' -f3)
  awk -v p="$peer_cpu" -v o="$ours_cpu" 'BEGIN { printf "   least processor time: rsync %.2f s, ours %.2f s, ratio %.2f\n", p, o, o / (p > 0 ? p : 0.01) }'
}

report() { # name "peer_s peer_kb" "ours_s ours_kb" time_target mem_target_mb
  awk -v n="$1" -v p="$2" -v o="$3" -v t="$4" -v m="$5" 'BEGIN {
    split(p, P, " "); split(o, O, " ");
    ratio = O[1] / (P[1] > 0 ? P[1] : 0.01);
    printf "%-28s rsync %7.2f s %6d MB   ours %7.2f s %6d MB   ratio %.2f (target <= %s)%s\n",
      n, P[1], P[2] / 1024, O[1], O[2] / 1024, ratio, t, (m != "" ? sprintf("   memory target < %s MB: %s", m, (O[2] / 1024 < m ? "met" : "NOT met")) : "") }'
}

echo "== $(date -u '+%F %T') UTC, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ ! -d "$SRC" ]; then
  echo "== making $FILES one-byte files in $FOLDERS folders under $SRC"
  make_tree "$SRC" "$FILES" "$FOLDERS"
fi
write_profile "$SRC" "$OURS" "$WORK/data"
# Both programs find the source in the page cache.
rsync -an "$SRC/" "$WORK/warm_dst/" >/dev/null

if [ "$FILES" -ge 1000000 ]; then MEM=250; else MEM=40; fi

echo "== first run into an empty folder"
interleaved 'rm -rf "$PEER"' 'rm -rf "$OURS"' 'rsync -a "$SRC/" "$PEER/"' '"$CLI" --data-dir "$WORK/data" run "$UID_SYNC"'
if diff -r "$SRC" "$OURS" >/dev/null; then echo "first run: storage equals source (diff -r)"; else echo "first run: storage DIFFERS from source"; fi
report "first run, $FILES files" "$PEER_BEST" "$OURS_BEST" 0.7 ""

echo "== analysis with no changes"
interleaved : : 'rsync -an "$SRC/" "$PEER/"' '"$CLI" --data-dir "$WORK/data" analyse "$UID_SYNC"'
report "no-change analysis" "$PEER_BEST" "$OURS_BEST" 0.6 "$MEM"
"$CLI" --data-dir "$WORK/data" analyse "$UID_SYNC" | sed -n 3p
echo "== load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf "$OURS" "$PEER" "$WORK/warm_dst"
