#!/usr/bin/env bash
# The clean benchmark: one press of a cleaning button of brumix.exe over
# BENCH_FILES files (default 20,000) in its one target, against the shell alone
# (SHFileOperationA, same flags, same top-level entries) and a plain
# DeleteFileA/RemoveDirectoryA walk, with rm -rf beside them. Every side gets
# its own copy of the same tree, made on the Linux side inside the build's
# private prefix (C:\bench-clean) and removed afterwards.
#   bench/clean/run.sh BUILD_DIR
# Environment: BENCH_FILES; BENCH_RUNS (default 3, medians); BENCH_CLEAN_TARGETS
# (default "temp firefox": flags 0x410 with half the files loose in the
# target, and 0x490, folders only); BENCH_PROFILE=1 adds the in-process chain
# with and without the link check, to tell what the check costs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

source "$root/bench/support/trees.sh"
bench_enter_wine_session "$root" "$build" bench_clean "$0" "${2:-}"
files=${BENCH_FILES:-20000}
runs=${BENCH_RUNS:-3}
targets=${BENCH_CLEAN_TARGETS:-temp firefox}
sides=(press shell plain)
[ "${BENCH_PROFILE:-0}" = 0 ] || sides+=(chain nocheck)
work=$WINEPREFIX/drive_c/bench-clean
trap 'rm -rf "$work"' EXIT

declare -A seconds
for target in $targets; do
  path=$(bench_target_path "$target") || { echo "no target $target"; exit 2; }
  # Firefox's chain hands over folders only: loose files would stay.
  loose=$((files / 2))
  [ "$target" = firefox ] && loose=0
  for run in $(seq "$runs"); do
    # Each side works at the same depth: Wine's shell reads every folder on
    # the way to each entry it deletes, so a shorter path is a cheaper one.
    rm -rf "$work"
    for i in "${!sides[@]}" rm; do
      fill_folder "$work/r$i/$path" "$files" "$loose"
    done
    start=$(now)
    rm -rf "$work/rrm"
    seconds[$target,rm]+="$(since "$start") "

    # A different side goes first on every run.
    arguments=()
    for k in "${!sides[@]}"; do
      i=$(((k + run) % ${#sides[@]}))
      arguments+=("${sides[$i]}" "$(wine_path "/bench-clean/r$i/$path")")
    done
    out=$(env LC_ALL=ru_RU.CP1251 wine "$build/bench/clean/bench_clean.exe" \
      "$(wine_path /bench-clean/r0)" "$target" "${arguments[@]}" | tr -d '\r')
    echo "$target run $run (${loose} loose, rm -rf $(echo "${seconds[$target,rm]}" | awk '{ print $NF }')s):"
    echo "$out" | sed 's/^/  /'
    for side in "${sides[@]}"; do
      value=$(echo "$out" | field "${side}_seconds")
      [ -n "$value" ] && [ "${value#-}" = "$value" ] || { echo "$side failed"; exit 1; }
      seconds[$target,$side]+="$value "
    done
  done
done

echo
for target in $targets; do
  declare -A m=()
  for side in "${sides[@]}" rm; do
    m[$side]=$(printf '%s\n' ${seconds[$target,$side]} | median)
  done
  flags=0x410
  [ "$target" = firefox ] || [ "$target" = opera12 ] || [ "$target" = opera20 ] && flags=0x490
  echo "clean $target ($files files, flags $flags, medians of $runs runs): press ${m[press]}s," \
    "shell alone ${m[shell]}s: ratio $(ratio "${m[press]}" "${m[shell]}") (goal 1.2);" \
    "plain walk ${m[plain]}s: press/plain $(ratio "${m[press]}" "${m[plain]}");" \
    "rm -rf ${m[rm]}s: press/rm $(ratio "${m[press]}" "${m[rm]}")"
  if [ -n "${m[chain]:-}" ]; then
    echo "  in one process: chain ${m[chain]}s, search straight to the shell ${m[nocheck]}s" \
      "(link check $(awk -v a="${m[chain]}" -v b="${m[nocheck]}" 'BEGIN { printf "%.0f%%", 100 * (a - b) / a }') of the chain);" \
      "press/chain $(ratio "${m[press]}" "${m[chain]}")"
  fi
done
