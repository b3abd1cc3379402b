#!/usr/bin/env bash
# The clean benchmark: one press of brumix.exe's %temp% button against a plain
# DeleteFileW/RemoveDirectoryW walk ("\\?\" names, links never entered), the
# shell (SHFileOperationW per top-level entry, flags 0x410) and rm -rf, each on
# its own copy of the same tree, on two trees: the mixed one (BENCH_FILES
# files, default 20,000, half loose in the target and half in folders of 100)
# and a deep one (a quarter as many files, in chains of nine folders of 40
# characters: most of them past 300 characters, where the shell cannot reach).
# The engine alone (called per top-level entry, no program around it) runs
# beside them, and then once more against DeleteFileW file by file in turn,
# the one ratio this shared machine's noise does not move.
# The trees are made on the Linux side inside the build's private prefix
# (C:\bench-clean) and removed afterwards.
#   bench/clean/run.sh BUILD_DIR
# Environment: BENCH_FILES; BENCH_RUNS (default 3, medians); BENCH_SHELL_RUNS
# (default 1: the shell takes a minute and more on the mixed tree).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

source "$root/bench/support/trees.sh"
bench_enter_wine_session "$root" "$build" bench_clean "$0" "${2:-}"
files=${BENCH_FILES:-20000}
runs=${BENCH_RUNS:-3}
shell_runs=${BENCH_SHELL_RUNS:-1}
target=temp
path=$(bench_target_path "$target") || { echo "no target $target"; exit 2; }
work=$WINEPREFIX/drive_c/bench-clean
trap 'rm -rf "$work"' EXIT

# fill_deep FOLDER FILES: chains of nine nested folders of 40 characters, ten
# files of 0 to 2047 bytes in each folder.
fill_deep() {
  python3 - "$@" <<'PY'
import os, random, sys
folder, files = sys.argv[1], int(sys.argv[2])
rng = random.Random(7)
for chain in range(max(1, files // 90)):
    path = os.path.join(folder, f"c{chain}")
    for level in range(9):
        path = os.path.join(path, chr(ord("a") + level) * 40)
        os.makedirs(path, exist_ok=True)
        for f in range(10):
            with open(os.path.join(path, f"f{f}.tmp"), "wb") as out:
                out.write(b"x" * rng.randrange(2048))
PY
}

fill() {
  case $1 in
    mixed) fill_folder "$2" "$files" $((files / 2)) ;;
    deep) fill_deep "$2" $((files / 4)) ;;
  esac
}

declare -A seconds left
for tree in mixed deep; do
  for run in $(seq "$runs"); do
    sides=(press engine plain)
    [ "$run" -le "$shell_runs" ] && sides+=(shell)
    # Each side works at the same depth below its own copy.
    rm -rf "$work"
    for i in "${!sides[@]}" rm; do
      fill "$tree" "$work/r$i/$path"
    done
    start=$(now)
    rm -rf "$work/rrm"
    seconds[$tree,rm]+="$(since "$start") "

    # A different side goes first on every run.
    arguments=()
    for k in "${!sides[@]}"; do
      i=$(((k + run) % ${#sides[@]}))
      arguments+=("${sides[$i]}" "$(wine_path "/bench-clean/r$i/$path")")
    done
    out=$(env LC_ALL=ru_RU.CP1251 wine "$build/bench/clean/bench_clean.exe" \
      "$(wine_path /bench-clean/r0)" "$target" "${arguments[@]}" | tr -d '\r')
    echo "$tree run $run (rm -rf $(echo "${seconds[$tree,rm]}" | awk '{ print $NF }')s):"
    echo "$out" | sed 's/^/  /'
    for side in "${sides[@]}"; do
      value=$(echo "$out" | field "${side}_seconds")
      [ -n "$value" ] && [ "${value#-}" = "$value" ] || { echo "$side failed"; exit 1; }
      seconds[$tree,$side]+="$value "
      left[$tree,$side]=$(echo "$out" | awk -v key="${side}_seconds" '$1 == key { print $NF }')
    done
  done
done

# The engine against DeleteFileW file by file, in turn, on loose files.
rm -rf "$work"
fill_folder "$work/alternate" $((files / 2)) $((files / 2))
alternate=$(wine "$build/bench/clean/bench_clean.exe" --alternate "$(wine_path /bench-clean/alternate)" |
  tr -d '\r')

echo
echo "clean, one file at a time: $alternate"
for tree in mixed deep; do
  declare -A m=()
  for side in press engine plain shell rm; do
    m[$side]=$(printf '%s\n' ${seconds[$tree,$side]:-} | median)
  done
  shell="shell ${m[shell]}s"
  [ "$shell_runs" -gt 0 ] || shell="shell not run"
  echo "clean $tree tree (flags 0x410, medians of $runs runs, the shell's of $shell_runs):" \
    "press ${m[press]}s, engine alone ${m[engine]}s, plain walk ${m[plain]}s, $shell, rm -rf ${m[rm]}s;" \
    "press/plain $(ratio "${m[press]}" "${m[plain]}") (goal 1.3)," \
    "engine/plain $(ratio "${m[engine]}" "${m[plain]}")," \
    "press/shell $(ratio "${m[press]}" "${m[shell]}"), press/rm $(ratio "${m[press]}" "${m[rm]}");" \
    "entries left: press ${left[$tree,press]}, engine ${left[$tree,engine]}," \
    "plain ${left[$tree,plain]}, shell ${left[$tree,shell]:-}"
done
