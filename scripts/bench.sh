#!/usr/bin/env bash
# Builds an optimised build (build-bench/) and prints speed figures:
#  1. the library benchmarks (object search, read and rewrite of a 65,536-vertex mesh);
#  2. meshlister -xo timed on that mesh (one full-mesh export plus one per separate object);
#  3. propcarver carving one object and the whole mesh out of it, and propbender scaling, turning
#     and clipping the whole mesh, each beside meshlister's report of the same mesh.
#  4. roomwright building 25, 50 and 100 rooms of 8 walls, each with two cut-outs and a prop.
#   scripts/bench.sh [benchmark options]   e.g. --benchmark_filter=TraverseAll
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

case "${1:-}" in
  -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libbenchmark-dev

echo "== bench: configure and build"
cmake --preset bench -G Ninja >/dev/null
cmake --build --preset bench --target mesh_bench make_bench_mesh meshlister propcarver propbender roomwright \
  make_example_game
bin="$PWD/$(preset_build_dir bench)/bin"

echo "== bench: mesh_bench"
"$bin/mesh_bench" "$@"

echo "== bench: meshlister -xo on a 65,536-vertex mesh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game/data/meshes" "$work/game/data/pak" "$work/run"
"$bin/make_bench_mesh" "$work/game/data/meshes/bench_building.msh"
printf '[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n"GameDir"="%s"\n' "$work/game" > "$work/reelmara.reg"
export REELMARA_REGISTRY="$work/reelmara.reg" REELMARA_NO_PAUSE=1
runs=3
best=""
total=0
for i in $(seq 1 $runs); do
  rm -rf "$work/run"/*
  start=$(date +%s%N)
  (cd "$work/run" && "$bin/meshlister" -xo bench_building.msh >/dev/null)
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  total=$((total + ms))
  if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done
exports=$(ls "$work/run/bench_building" | wc -l)
size=$(stat -c %s "$work/game/data/meshes/bench_building.msh")
echo "   input: 65536 vertices, 115200 triangles, 64 objects, $size bytes"
echo "   output: $exports MSH files, report $(stat -c %s "$work/run/meshlister.txt") bytes"
echo "   wall time over $runs runs: best $best ms, mean $((total / runs)) ms"

echo "== bench: propcarver and propbender on the same mesh, beside meshlister's report of it"
# Best wall time in ms of a command run $runs times in a clean run folder.
best_ms() {
  local best="" i start end ms
  for i in $(seq 1 $runs); do
    rm -rf "$work/run"/*
    start=$(date +%s%N)
    (cd "$work/run" && "$@" >/dev/null)
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}
report=$(best_ms "$bin/meshlister" bench_building.msh)
object=$(best_ms "$bin/propcarver" bench_building.msh bench_object -g 0 -m 0 -v 0)
object_vertices=$(cd "$work/run" && "$bin/meshlister" -newdata p_bench_object -r object.txt p_bench_object.msh \
  >/dev/null && tr -d '\r' < object.txt | sed -n 's/^  (\([0-9]*\) vertices.*/\1/p' | head -n 1)
whole=$(best_ms "$bin/propcarver" bench_building.msh bench_whole -g 0 -cp 1 2 3 -rpz 90 -sp 2)
# The mesh spans X 0..60, Y 0..1212: the box keeps the half with Y up to 600.
bent=$(best_ms "$bin/propbender" bench_building.msh bench_bent -s 2 -rz 90 -cl 0 0 -1 60 600 1)
bent_vertices=$(cd "$work/run" && "$bin/meshlister" -newdata p_bench_bent -r bent.txt p_bench_bent.msh \
  >/dev/null && tr -d '\r' < bent.txt | sed -n 's/^  (\([0-9]*\) vertices.*/\1/p' | head -n 1)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
echo "   meshlister report (no exports):            best $report ms"
echo "   propcarver -v 0 (one object, $object_vertices vertices): best $object ms, $(ratio "$object" "$report") x the report"
echo "   propcarver -cp 1 2 3 -rpz 90 -sp 2 (all):  best $whole ms, $(ratio "$whole" "$report") x the report"
echo "   propbender -s 2 -rz 90 -cl (kept $bent_vertices vertices): best $bent ms, $(ratio "$bent" "$report") x the report"
echo "   target: carving and bending cost at most 2 x the report"

echo "== bench: roomwright, a building of rooms"
# Room i of a 10-wide grid: an octagon of 8 walls with a window and a door from the cut-out
# library and a lamp in the middle, all from the example game's props.
"$bin/make_example_game" "$work/example" >/dev/null
export REELMARA_REGISTRY="$work/example/reelmara.reg"
cp examples/rooms/demo_cutouts.ini "$work/run/"
make_rooms() {
  local i x y
  for i in $(seq 0 $(($1 - 1))); do
    x=$(( (i % 10) * 10 )); y=$(( (i / 10) * 10 ))
    {
      printf '[library]\ncutouts = demo_cutouts.ini\n[global]\nheight = 3\n[lightmap]\n'
      printf '[texture]\nwall = bench_wall.dds\n[wall tiling]\nxwrap = 2\n'
      printf '[wall]\nx = %d\ny = %d\n' $((x + 2)) $y
      printf '[wall]\ncutout = window\nx = %d\ny = %d\nbottom = 1\n' $((x + 4)) $y
      printf '[wall]\nx = %d\ny = %d\n' $((x + 6)) $y $((x + 8)) $((y + 2)) $((x + 8)) $((y + 6)) $((x + 6)) $((y + 8))
      printf '[wall]\ncutout = door\nx = %d\ny = %d\n' $((x + 4)) $((y + 8))
      printf '[wall]\nx = %d\ny = %d\n' $((x + 2)) $((y + 8)) $x $((y + 6)) $x $((y + 2))
      printf '[prop]\nprop = p_demo_lamp\nx = %d\ny = %d\n' $((x + 4)) $((y + 4))
    } > "$work/rooms/room$i.ini"
  done
}
mkdir -p "$work/rooms"
make_rooms 100
rooms_ms() {
  local best="" i start end ms files=()
  for i in $(seq 0 $(($1 - 1))); do files+=("$work/rooms/room$i.ini"); done
  for i in $(seq 1 $runs); do
    rm -rf "$work/run/p_bench_building" "$work/run/room0"
    start=$(date +%s%N)
    (cd "$work/run" && "$bin/roomwright" -propname bench_building "${files[@]}" >/dev/null)
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}
for count in 25 50 100; do
  echo "   $count rooms (8 walls, 2 cut-outs, 1 prop each): best $(rooms_ms $count) ms"
done
package="$work/run/room0/data/meshes/p_bench_building.msh"
echo "   the 100-room package: $(stat -c %s "$package") bytes"
echo "   target: 100 rooms in under 1000 ms, growing linearly with the number of rooms"
