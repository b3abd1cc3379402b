#!/usr/bin/env bash
# The count benchmark: one press of brumix.exe's count button over
# BENCH_FILES files (default 100,000) spread over the eight targets, against a
# bare FindFirstFileA walk of the same folders in one process, with du -sb
# beside them. The tree is made on the Linux side inside the build's private
# prefix (C:\bench-count) and removed afterwards.
#   bench/count/run.sh BUILD_DIR      (BENCH_FILES, BENCH_RUNS in the environment)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

source "$root/bench/support/trees.sh"
bench_enter_wine_session "$root" "$build" bench_count "$0" "${2:-}"
files=${BENCH_FILES:-100000}
runs=${BENCH_RUNS:-3}
work=$WINEPREFIX/drive_c/bench-count
trap 'rm -rf "$work"' EXIT
rm -rf "$work"

per_target=$((files / 8))
folders=()
for i in "${!bench_target_paths[@]}"; do
  share=$per_target
  [ "$i" -eq 0 ] && share=$((files - 7 * per_target))
  folder="$work/${bench_target_paths[$i]}"
  # A fifth of each target's files lie loose in it; the rest in folders.
  fill_folder "$folder" "$share" $((share / 5))
  folders+=("$folder")
done
echo "made $files files in $work"

du -sb "${folders[@]}" >/dev/null  # the same warm cache for every side
du_times=()
for _ in $(seq "$runs"); do
  start=$(now)
  du_bytes=$(du -sbc "${folders[@]}" | tail -1 | cut -f1)
  du_times+=("$(since "$start")")
done
du_seconds=$(printf '%s\n' "${du_times[@]}" | median)

out=$(env LC_ALL=ru_RU.CP1251 BENCH_RUNS="$runs" wine "$build/bench/count/bench_count.exe" \
  'C:\bench-count' | tr -d '\r')
echo "$out"
bare_seconds=$(echo "$out" | field bare_walk_seconds)
press_seconds=$(echo "$out" | field press_seconds)
[ -n "$press_seconds" ] || exit 1

echo
echo "count of $files files (medians of $runs runs): press ${press_seconds}s," \
  "bare FindFirstFileA walk ${bare_seconds}s: ratio $(ratio "$press_seconds" "$bare_seconds") (goal 1.2);" \
  "du -sb ${du_seconds}s ($du_bytes bytes with folders): press/du $(ratio "$press_seconds" "$du_seconds")"
