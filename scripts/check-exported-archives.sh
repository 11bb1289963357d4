#!/usr/bin/env bash
# Checks the archives that tests exported into DIR (see
# tests/archive/zip_writer_export_test.cpp) with readers nobody here wrote:
# unzip -t, 7zz t and Python's zipfile, which must also list exactly the
# UTF-8 names in the archive's .names file and, where a .contents file is
# there ("crc32 size name" lines), give each file that size and checksum of
# what it reads: a wrong byte read on the writer's side then fails too.
set -euo pipefail
dir="$1"
shopt -s nullglob
archives=("$dir"/*.zip)
if [ ${#archives[@]} -eq 0 ]; then
  echo "no exported archives in $dir" >&2
  exit 1
fi
sevenzip=$(command -v 7z || command -v 7zz)
failed=0
for archive in "${archives[@]}"; do
  password=$(cat "$archive.password")
  unzip_pw=(); seven_pw=()
  [ -n "$password" ] && { unzip_pw=(-P "$password"); seven_pw=("-p$password"); }
  unzip -tq "${unzip_pw[@]}" "$archive" >/dev/null || { echo "unzip -t rejects $archive" >&2; failed=1; }
  "$sevenzip" t "${seven_pw[@]}" "$archive" >/dev/null || { echo "7z t rejects $archive" >&2; failed=1; }
  python3 - "$archive" "$archive.names" "$password" "$archive.contents" <<'PY' || failed=1
import os, sys, zipfile, zlib
archive, names_file, password, contents_file = sys.argv[1:5]
expected = sorted(open(names_file, encoding='utf-8').read().split('\n')[:-1])
contents = {}
if os.path.exists(contents_file):
    for line in open(contents_file, encoding='utf-8').read().split('\n')[:-1]:
        crc, size, name = line.split(' ', 2)
        contents[name] = (int(crc, 16), int(size))
z = zipfile.ZipFile(archive)
if password:
    z.setpassword(password.encode('utf-8'))
wrong = []
for info in z.infolist():
    if not info.is_dir():
        data = z.read(info)
        if info.filename in contents and contents[info.filename] != (zlib.crc32(data), len(data)):
            wrong.append(info.filename)
names = sorted(i.filename for i in z.infolist())
if names != expected:
    missing = sorted(set(expected) - set(names))[:5]
    extra = sorted(set(names) - set(expected))[:5]
    print(f"zipfile lists other names in {archive}: {len(names)} instead of {len(expected)},"
          f" missing {missing}, not expected {extra}", file=sys.stderr)
    sys.exit(1)
if wrong:
    print(f"{archive}: other content than the source in {len(wrong)} files, first {wrong[:5]}", file=sys.stderr)
    sys.exit(1)
PY
  [ $failed -eq 0 ] && echo "ok: $(basename "$archive") passes unzip -t, 7z t and zipfile"
done
exit $failed
