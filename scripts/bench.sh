#!/usr/bin/env bash
# Builds an optimised build (build-bench/) and prints speed figures:
#  1. the library benchmarks (object search, read and rewrite of a 65,536-vertex mesh);
#  2. meshlister -xo timed on that mesh (one full-mesh export plus one per separate object);
#  3. propcarver carving one object and the whole mesh out of it, beside meshlister's report;
#  4. propbridge exporting that mesh to glTF and importing the model back, beside the same report.
#   scripts/bench.sh [benchmark options]   e.g. --benchmark_filter=TraverseAll
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

case "${1:-}" in
  -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libbenchmark-dev libtinygltf-dev \
  nlohmann-json3-dev

echo "== bench: configure and build"
cmake --preset bench -G Ninja >/dev/null
cmake --build --preset bench --target mesh_bench make_bench_mesh meshlister propcarver propbridge
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

echo "== bench: propcarver on the same mesh, beside meshlister's report of it"
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
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
echo "   meshlister report (no exports):            best $report ms"
echo "   propcarver -v 0 (one object, $object_vertices vertices): best $object ms, $(ratio "$object" "$report") x the report"
echo "   propcarver -cp 1 2 3 -rpz 90 -sp 2 (all):  best $whole ms, $(ratio "$whole" "$report") x the report"
echo "   target: carving costs at most 2 x the report"

echo "== bench: propbridge export and import of the same mesh, beside meshlister's report"
mkdir -p "$work/model"
(cd "$work/run" && "$bin/propbridge" export bench_building.msh -o "$work/model" >/dev/null)
exported=$(best_ms "$bin/propbridge" export bench_building.msh)
imported=$(best_ms "$bin/propbridge" import "$work/model/bench_building.gltf" bench_back)
echo "   glTF model: $(stat -c %s "$work/model/bench_building.gltf") + $(stat -c %s "$work/model/bench_building.bin") bytes"
echo "   meshlister report (no exports):            best $report ms"
echo "   propbridge export (.gltf + .bin):          best $exported ms, $(ratio "$exported" "$report") x the report"
echo "   propbridge import (the prop package):      best $imported ms, $(ratio "$imported" "$report") x the report"
echo "   target: each at most 2 x the report"
