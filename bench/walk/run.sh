#!/usr/bin/env bash
# The walk benchmark: doSize against du -sb on a tree of 100,000 files, and
# cleaning chains (search linked to delete) against rm -rf on trees of 20,000
# files, all in one run. The trees are made on the Linux side, under the build
# folder, and reach Wine as Z:\ paths.
#   bench/walk/run.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
exe=$build/bench/walk/bench_walk.exe

if [ "${2:-}" != --inner ]; then
  cmake --build "$build" --target bench_walk >/dev/null
  # One Wine session for every run, so only the first pays for the start.
  exec xvfb-run -a "$root/scripts/wine-session" "$build" env LC_ALL=C "$0" "$build" --inner
fi

work=$build/bench-walk
rm -rf "$work"
mkdir -p "$work"

# make_tree DIR TOP MID FILES: TOP folders of MID folders of 10 folders of
# FILES files each, 0 to 2047 bytes long (the same sizes on every call).
make_tree() {
  python3 - "$@" <<'PY'
import os, random, sys
root, top, mid, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rng = random.Random(7)
for a in range(top):
    for b in range(mid):
        for c in range(10):
            leaf = os.path.join(root, f"t{a}", f"m{b}", f"l{c}")
            os.makedirs(leaf)
            for f in range(files):
                with open(os.path.join(leaf, f"f{f}.tmp"), "wb") as out:
                    out.write(b"x" * rng.randrange(2048))
PY
}

now() { date +%s.%N; }
wine_path() { printf 'Z:%s' "${1//\//\\}"; }
field() { awk -v key="$1" '$1 == key { print $2; exit }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "making trees in $work"
make_tree "$work/size" 10 10 100
for copy in rm chain files shell2 shell0; do make_tree "$work/del-$copy" 20 1 100; done

du -sb "$work/size" >/dev/null  # the same warm cache for both sides
start=$(now); du_bytes=$(du -sb "$work/size" | cut -f1); du_seconds=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')
size_out=$(wine "$exe" size "$(wine_path "$work/size")" | tr -d '\r')
echo "$size_out"
dosize_seconds=$(echo "$size_out" | grep 'run 2' | field dosize_seconds)
bare_seconds=$(echo "$size_out" | field bare_walk_seconds)

start=$(now); rm -rf "$work/del-rm"; rm_seconds=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')
chain_out=$(wine "$exe" clean "$(wine_path "$work/del-chain")" 2 | tr -d '\r')
echo "$chain_out"
files_out=$(wine "$exe" clean "$(wine_path "$work/del-files")" 0 | tr -d '\r')
echo "$files_out"
shell2_out=$(wine "$exe" shell "$(wine_path "$work/del-shell2")" 2 | tr -d '\r')
echo "$shell2_out"
shell0_out=$(wine "$exe" shell "$(wine_path "$work/del-shell0")" 0 | tr -d '\r')
echo "$shell0_out"
chain_seconds=$(echo "$chain_out" | field clean_seconds)
shell2_seconds=$(echo "$shell2_out" | field shell_seconds)
shell0_seconds=$(echo "$shell0_out" | field shell_seconds)
files_seconds=$(echo "$files_out" | field clean_seconds)

echo
echo "size of 100,000 files: du -sb ${du_seconds}s ($du_bytes bytes with folders)," \
  "doSize ${dosize_seconds}s: ratio $(ratio "$dosize_seconds" "$du_seconds");" \
  "bare FindFirstFileA walk ${bare_seconds}s: ratio $(ratio "$bare_seconds" "$du_seconds")"
echo "delete 20,000 files: rm -rf ${rm_seconds}s," \
  "chain as the scheme joins it (folders deleted whole) ${chain_seconds}s: ratio $(ratio "$chain_seconds" "$rm_seconds");" \
  "files one by one ${files_seconds}s: ratio $(ratio "$files_seconds" "$rm_seconds")"
echo "the shell alone on the same paths: folders whole ${shell2_seconds}s" \
  "(chain/shell $(ratio "$chain_seconds" "$shell2_seconds")), files one by one ${shell0_seconds}s" \
  "(chain/shell $(ratio "$files_seconds" "$shell0_seconds"))"
rm -rf "$work"
