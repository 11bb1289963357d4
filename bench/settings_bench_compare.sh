#!/usr/bin/env bash
# The settings benchmark of two builds in one run, alternating, so that both
# see the same load on the machine: typically a build of an older commit (the
# peer) against this one. Prints each round's medians and the ratios new/old.
#   bench/settings_bench_compare.sh OLD_BUILD_DIR [NEW_BUILD_DIR] [ROUNDS] [PROFILES] [RUNS]
# (RUNS: the runs of each benchmark call, of which it takes the median)
set -euo pipefail
cd "$(dirname "$0")/.."
OLD="${1:?a build folder of the commit to compare with}/bench/settings_bench"
NEW="${2:-build}/bench/settings_bench"
ROUNDS=${3:-6}
PROFILES=${4:-1000}
RUNS=${5:-7}
for bench in "$OLD" "$NEW"; do
  [ -x "$bench" ] || { echo "$bench is not built (target settings_bench)"; exit 1; }
done

# "load (median of 7): 77.0 ms ..." and "save pass ...: 49.0 ms ..." -> "77.0 49.0"
medians() {
  "$1" "$PROFILES" "$RUNS" | awk 'match($0, /: [0-9.]+ ms/) {v = substr($0, RSTART + 2, RLENGTH - 5)}
    /^load/ {l = v} /^save pass/ {s = v} END {print l, s}'
}

ratios=()
for ((round = 1; round <= ROUNDS; ++round)); do
  # Which build goes first alternates too.
  if ((round % 2)); then
    read -r old_load old_save < <(medians "$OLD")
    read -r new_load new_save < <(medians "$NEW")
  else
    read -r new_load new_save < <(medians "$NEW")
    read -r old_load old_save < <(medians "$OLD")
  fi
  line=$(awk -v ol="$old_load" -v nl="$new_load" -v os="$old_save" -v ns="$new_save" \
    'BEGIN {printf "%.2f %.2f", nl / ol, ns / os}')
  ratios+=("$line")
  echo "round $round: load old $old_load ms new $new_load ms, save old $old_save ms new $new_save ms, ratios new/old $line"
done
# The middle value, or the mean of the two middle ones.
median_of() {
  printf '%s\n' "${ratios[@]}" | awk -v f="$1" '{print $f}' | sort -n |
    awk '{v[NR] = $1} END {printf "%.2f", (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2}'
}
echo "load ratio new/old, median of rounds: $(median_of 1)"
echo "save ratio new/old, median of rounds: $(median_of 2)"
