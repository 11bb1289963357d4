# Pieces shared by the benchmark scripts; sourced, never run.

# ensure_built BUILD_DIR TARGET BINARY: builds TARGET (without the windows)
# when BINARY is not there yet.
ensure_built() {
  if [ ! -x "$3" ]; then
    cmake -S . -B "$1" -G Ninja -DNORVANE_BUILD_GUI=OFF >/dev/null
    ninja -C "$1" "$2"
  fi
}

# make_corpus DIR: about 300 MB of headers (small text files) and
# documentation (text plus many .gz files), regular files only, in DIR.
make_corpus() {
  mkdir -p "$1"
  cp -r /usr/include "$1/include" 2>/dev/null || true
  cp -r /usr/share/doc "$1/doc" 2>/dev/null || true
  # Links would be stored differently by the programs compared: keep regular files only.
  find "$1" -type l -delete
  local limit=$((300 * 1024 * 1024)) size
  size=$(du -sb "$1" | cut -f1)
  if [ "$size" -gt "$limit" ]; then
    # Trim the largest files until the corpus is about 300 MB.
    find "$1" -type f -printf '%s %p\n' | sort -rn | while read -r s p; do
      [ "$size" -le "$limit" ] && break
      rm -f "$p"; size=$((size - s))
    done
  fi
}

# bench_setup BUILD_DIR TARGET BINARY TOOL...: TARGET built when BINARY is
# missing, each peer TOOL present (else the script ends), and a fresh WORK
# folder that goes when the script ends.
bench_setup() {
  ensure_built "$1" "$2" "$3"
  shift 3
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps.sh)"; exit 1; }
  done
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
}

# write_profile SRC DST DATA: a Backup.ini in folder DATA with one sync
# profile (UID $UID_SYNC, deleting for good) from SRC to DST.
write_profile() {
  mkdir -p "$3"
  printf '\xEF\xBB\xBF[SyncList]\r\n%s=Bench\r\n[%s_st]\r\nDelToRecycle=0\r\nSkipHiddenSystem=0\r\nAutoMode=0\r\n[%s]\r\nf1_1=%s/\r\nf2_1=%s/\r\n' \
    "$UID_SYNC" "$UID_SYNC" "$UID_SYNC" "$1" "$2" >"$3/Backup.ini"
}

seconds() { date +%s.%N; }
