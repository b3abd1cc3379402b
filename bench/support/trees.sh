# Sourced by the run scripts of the benchmarks that drive brumix.exe: how they
# get into a Wine session, the cleaner's eight folders below a scratch root
# (the table the tests and bench_support.cpp share, printed by
# bench_targets.exe) and a quick way to fill them from the Linux side.

# bench_enter_wine_session ROOT BUILD PROGRAM SCRIPT [--inner]: outside a Wine
# session, builds the benchmark's PROGRAM and runs SCRIPT again inside one,
# for the whole run (bash itself has no Russian locale); inside, reads the
# targets and returns.
bench_enter_wine_session() {
  if [ "${5:-}" = --inner ]; then
    bench_read_targets "$2"
    return
  fi
  cmake --build "$2" --target "$3" bench_targets >/dev/null
  exec xvfb-run -a "$1/scripts/wine-session" "$2" env LC_ALL=C "$4" "$2" --inner
}

# bench_read_targets BUILD: fills bench_target_names and bench_target_paths
# (relative to the root, with "/"), in the order of the lamps.
bench_read_targets() {
  bench_target_names=()
  bench_target_paths=()
  local name path
  while read -r name path; do
    bench_target_names+=("$name")
    bench_target_paths+=("$path")
  done < <(wine "$1/bench/support/bench_targets.exe" | tr -d '\r')
  [ "${#bench_target_names[@]}" -eq 8 ] || { echo "no targets from bench_targets.exe"; exit 1; }
}

# bench_target_path NAME: the folder of that target, relative to the root.
bench_target_path() {
  local i
  for i in "${!bench_target_names[@]}"; do
    if [ "${bench_target_names[$i]}" = "$1" ]; then
      printf '%s' "${bench_target_paths[$i]}"
      return 0
    fi
  done
  return 1
}

# fill_folder FOLDER FILES LOOSE: FILES files of 0 to 2047 bytes (the same
# sizes on every call), LOOSE of them straight in the folder, the rest in
# folders of 100 files, ten such folders to a parent folder.
fill_folder() {
  python3 - "$@" <<'PY'
import os, random, sys
folder, files, loose = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
loose = min(loose, files)
rng = random.Random(7)
os.makedirs(folder, exist_ok=True)
def write(path):
    with open(path, "wb") as out:
        out.write(b"x" * rng.randrange(2048))
for f in range(loose):
    write(os.path.join(folder, f"loose{f}.tmp"))
for n in range(files - loose):
    leaf = os.path.join(folder, f"d{n // 1000}", f"e{n // 100 % 10}")
    if n % 100 == 0:
        os.makedirs(leaf, exist_ok=True)
    write(os.path.join(leaf, f"f{n % 100}.tmp"))
PY
}

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.6f", b - a }'; }
wine_path() { printf 'C:%s' "${1//\//\\}"; }
field() { awk -v key="$1" '$1 == key { print $2; exit }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0) print "n/a"; else printf "%.2f", a / b }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
