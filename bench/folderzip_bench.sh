#!/usr/bin/env bash
# Folder archiving benchmark: the corpus of bench/zip_bench.sh (~300 MB of
# headers and documentation) split into 200 subfolders of about 1.5 MB, then,
# in one run:
#   - Info-ZIP "zip -r -6" run once per subfolder (the peer),
#   - a folder archiving run of the command-line tool at level 6 over the
#     same source (every subfolder is new, so every one is archived),
#   - a second run of the tool with nothing changed.
# Prints wall times and the ratios ours/zip.
#   bench/folderzip_bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_common.sh
BUILD_DIR=${1:-build}
CLI="$BUILD_DIR/src/cli/norvane-backup-cli"
bench_setup "$BUILD_DIR" norvane-backup-cli "$CLI" zip python3
CORPUS="$WORK/corpus"
SOURCE="$WORK/source"
mkdir -p "$SOURCE" "$WORK/zip_out" "$WORK/ours_out" "$WORK/data"
make_corpus "$CORPUS"

# 200 subfolders of about equal size: each file, largest first, goes to the
# subfolder that holds least so far, keeping its path below it.
python3 - "$CORPUS" "$SOURCE" <<'PY'
import heapq, os, sys
corpus, source = sys.argv[1], sys.argv[2]
files = []
for root, _, names in os.walk(corpus):
    for name in names:
        path = os.path.join(root, name)
        files.append((os.path.getsize(path), os.path.relpath(path, corpus)))
files.sort(reverse=True)
heap = [(0, i) for i in range(200)]
for size, rel in files:
    filled, folder = heapq.heappop(heap)
    target = os.path.join(source, "folder%03d" % folder, rel)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    os.rename(os.path.join(corpus, rel), target)
    heapq.heappush(heap, (filled + size, folder))
PY
FOLDERS=$(find "$SOURCE" -mindepth 1 -maxdepth 1 -type d | wc -l)
echo "source: $(du -sb "$SOURCE" | cut -f1) bytes in $(find "$SOURCE" -type f | wc -l) files, $FOLDERS subfolders"
# Warm the page cache so both programs read from memory.
find "$SOURCE" -type f -exec cat {} + > /dev/null 2>&1 || true

UID_FZ=FZP202401010000001234
printf '\xEF\xBB\xBF[ZipFolderList]\r\n%s=Bench\r\n[%s_st]\r\nFolderZip=%s/\r\nSaveTo=%s/\r\nCompression=6\r\n' \
  "$UID_FZ" "$UID_FZ" "$SOURCE" "$WORK/ours_out" > "$WORK/data/Backup.ini"

t0=$(seconds)
for dir in "$SOURCE"/*/; do
  name=$(basename "$dir")
  (cd "$SOURCE" && zip -q -r -6 "$WORK/zip_out/$name.zip" "$name")
done
t1=$(seconds)
zip_s=$(echo "$t1 - $t0" | bc)

t0=$(seconds)
"$CLI" --data-dir "$WORK/data" run "$UID_FZ" > "$WORK/run1.txt"
t1=$(seconds)
ours_s=$(echo "$t1 - $t0" | bc)

t0=$(seconds)
"$CLI" --data-dir "$WORK/data" run "$UID_FZ" > "$WORK/run2.txt"
t1=$(seconds)
again_s=$(echo "$t1 - $t0" | bc)

archives=$(find "$WORK/ours_out" -name '*.zip' | wc -l)
[ "$archives" -eq "$FOLDERS" ] || echo "only $archives archives for $FOLDERS subfolders"
for f in "$WORK"/ours_out/*.zip; do unzip -tq "$f" >/dev/null || echo "unzip -t FAILED for $f"; done
zip_bytes=$(du -cb "$WORK"/zip_out/*.zip | tail -1 | cut -f1)
ours_bytes=$(du -cb "$WORK"/ours_out/*.zip | tail -1 | cut -f1)

printf '%-28s %10s %10s\n' step seconds ratio
printf '%-28s %10.2f %10s\n' "zip -r -6 per subfolder" "$zip_s" "1.000"
printf '%-28s %10.2f %10.3f\n' "run, every subfolder" "$ours_s" "$(echo "$ours_s / $zip_s" | bc -l)"
printf '%-28s %10.2f %10.3f\n' "run, nothing changed" "$again_s" "$(echo "$again_s / $zip_s" | bc -l)"
printf 'archive bytes: zip %d, ours %d, ratio %.4f\n' "$zip_bytes" "$ours_bytes" "$(echo "$ours_bytes / $zip_bytes" | bc -l)"
