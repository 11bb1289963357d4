#!/usr/bin/env bash
# Checks the archives that tests exported into DIR (see
# tests/archive/zip_writer_export_test.cpp) with readers nobody here wrote:
# unzip -t, 7zz t and Python's zipfile, which must also list exactly the
# UTF-8 names in the archive's .names file.
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
  python3 - "$archive" "$archive.names" "$password" <<'PY' || failed=1
import sys, zipfile
archive, names_file, password = sys.argv[1], sys.argv[2], sys.argv[3]
expected = sorted(open(names_file, encoding='utf-8').read().split('\n')[:-1])
z = zipfile.ZipFile(archive)
if password:
    z.setpassword(password.encode('utf-8'))
for info in z.infolist():
    if not info.is_dir():
        z.read(info)
names = sorted(i.filename for i in z.infolist())
if names != expected:
    print(f"zipfile lists other names in {archive}: {names} instead of {expected}", file=sys.stderr)
    sys.exit(1)
PY
  [ $failed -eq 0 ] && echo "ok: $(basename "$archive") passes unzip -t, 7z t and zipfile"
done
exit $failed
