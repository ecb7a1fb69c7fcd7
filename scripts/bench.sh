#!/usr/bin/env bash
# Builds an optimised build (build-bench/) and prints speed figures, each beside its floor
# measured in the same run:
#  1. the library benchmarks (reading, report, object search, object exports);
#  2. meshlister's report of a 65,000-vertex mesh against copying its file (cp);
#  3. meshlister -xo on 1, 10, 100 and 1,000 objects of a 65,000-vertex mesh, and on files of
#     10, 25 and 50 meshes of 60,000 vertices with 100 objects each, against the floor: a
#     plain program that reads the input and writes files of the same names and sizes;
#  4. peak memory (maximum resident size) beside the input file's size.
# Times are medians of several runs, in milliseconds: wall time, and below it processor time.
#   scripts/bench.sh [--tools] [--meshlister PATH] [benchmark options]
#     --tools            skip the library benchmarks
#     --meshlister PATH  time this meshlister program instead of the one just built
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh
export LC_ALL=C

library=1
meshlister=""
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --tools) library=0; shift ;;
    --meshlister) meshlister=$(realpath "${2:?--meshlister needs a path}"); shift 2 ;;
    *) break ;;
  esac
done

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libbenchmark-dev time

echo "== bench: configure and build"
cmake --preset bench -G Ninja >/dev/null
cmake --build --preset bench --target mesh_bench make_bench_mesh write_floor meshlister
bin="$PWD/$(preset_build_dir bench)/bin"
[ -n "$meshlister" ] || meshlister="$bin/meshlister"

if [ "$library" -eq 1 ]; then
  echo "== bench: mesh_bench"
  "$bin/mesh_bench" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
meshes="$work/game/data/meshes"
mkdir -p "$meshes" "$work/game/data/pak" "$work/run" "$work/floor"
printf '[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n"GameDir"="%s"\n' "$work/game" > "$work/reelmara.reg"
export REELMARA_REGISTRY="$work/reelmara.reg" REELMARA_NO_PAUSE=1 REELMARA_SEED=1

# Microseconds taken by one run of a command (its output discarded): wall time, then processor
# time (user and system, the command's children included).
run_us() {
  local TIMEFORMAT='%3R %3U %3S' times
  times=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  awk -v t="$times" 'BEGIN { split(t, a, " "); printf "%d %d\n", a[1] * 1e6, (a[2] + a[3]) * 1e6 }'
}

# The median of the numbers given.
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ms() { awk -v us="$1" 'BEGIN { printf "%8.1f ms", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%5.2f", (b > 0 ? a / b : 0) }'; }

# meshlister with the given options on one mesh file, in a clean run folder.
tool_run() { rm -rf "$work/run"; mkdir -p "$work/run"; (cd "$work/run" && run_us "$meshlister" "$@"); }
# The floor of the last tool run: read the input, write the same files (listed beforehand).
floor_run() { rm -rf "$work/floor"; mkdir -p "$work/floor"; run_us "$bin/write_floor" "$1" "$work/listing" "$work/floor"; }
copy_run() { rm -f "$work/copy.msh"; run_us cp "$1" "$work/copy.msh"; }

# Times meshlister against the floor, `runs` times each, interleaved so that both see the
# same machine load. Prints the medians of wall time and of processor time (which other
# programs running meanwhile disturb less), the ratios, and the files written.
compare() {
  local label=$1 runs=$2 file=$3 floor=$4; shift 4
  local tool_wall=() tool_cpu=() floor_wall=() floor_cpu=() i t f
  tool_run "$@" "$file" >/dev/null
  (cd "$work/run" && find . -type f -printf '%s %P\n') > "$work/listing"
  local files=$(wc -l < "$work/listing") bytes=$(awk '{ s += $1 } END { print s }' "$work/listing")
  for i in $(seq 1 "$runs"); do
    t=$(tool_run "$@" "$file")
    if [ "$floor" = cp ]; then f=$(copy_run "$meshes/$file"); else f=$(floor_run "$meshes/$file"); fi
    tool_wall+=("${t% *}"); tool_cpu+=("${t#* }"); floor_wall+=("${f% *}"); floor_cpu+=("${f#* }")
  done
  local tw=$(median "${tool_wall[@]}") tc=$(median "${tool_cpu[@]}") fw=$(median "${floor_wall[@]}") \
    fc=$(median "${floor_cpu[@]}")
  printf '   %-22s meshlister %s   %-5s %s   ratio %s   (%d files, %d MB written)\n' "$label" "$(ms "$tw")" "$floor" \
    "$(ms "$fw")" "$(ratio "$tw" "$fw")" "$files" $((bytes / 1000000))
  printf '   %-22s processor  %s   %-5s %s   ratio %s\n' "" "$(ms "$tc")" "" "$(ms "$fc")" "$(ratio "$tc" "$fc")"
  last_tool_us=$tw
  last_files=$files
}

# Peak memory of one meshlister run beside the input's size.
memory() {
  local label=$1 file=$2; shift 2
  rm -rf "$work/run"; mkdir -p "$work/run"
  local kb=$(cd "$work/run" && /usr/bin/time -f %M "$meshlister" "$@" "$file" 2>&1 >/dev/null | tail -n 1)
  local size=$(stat -c %s "$meshes/$file")
  printf '   %-22s peak %7.1f MB   file %7.1f MB   ratio %s\n' "$label" "$(awk -v k="$kb" 'BEGIN { print k / 1000 }')" \
    "$(awk -v s="$size" 'BEGIN { print s / 1000000 }')" "$(ratio $((kb * 1000)) "$size")"
}

echo "== bench: making the benchmark meshes"
for objects in 1 10 100 1000; do "$bin/make_bench_mesh" "$meshes/objects$objects.msh" "$objects"; done
for count in 10 25 50; do "$bin/make_bench_mesh" "$meshes/meshes$count.msh" 100 "$count" 60000; done
ls -l "$meshes" | awk 'NR > 1 { printf "   %-20s %10d bytes\n", $9, $5 }'

echo "== bench: report of a 65,000-vertex mesh against cp of its file"
for objects in 1 100 1000; do compare "report, $objects objects" 9 "objects$objects.msh" cp; done

echo "== bench: -xo against the floor (read the input, write the same files)"
for objects in 1 10 100 1000; do compare "-xo, $objects objects" 5 "objects$objects.msh" floor -xo; done

echo "== bench: -xo on files of meshes of 60,000 vertices and 100 objects each"
for count in 10 25 50; do
  compare "-xo, $count meshes" 3 "meshes$count.msh" floor -xo
  printf '   %-22s %8.3f ms per file written\n' "" "$(awk -v t="$last_tool_us" -v n="$last_files" 'BEGIN { print t / 1000 / n }')"
done

echo "== bench: peak memory"
memory "report, 100 objects" objects100.msh
memory "-xo, 100 objects" objects100.msh -xo
memory "-xo, 1000 objects" objects1000.msh -xo
memory "-xo, 50 meshes" meshes50.msh -xo
