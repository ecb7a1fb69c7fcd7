#!/usr/bin/env bash
# Builds an optimised build (build-bench/) and prints speed figures, each beside its floor
# measured in the same run:
#  1. the library benchmarks (reading, report, object search, object exports);
#  2. meshlister's report of a 65,000-vertex mesh against copying its file (cp);
#  3. meshlister -xo on 1, 10, 100 and 1,000 objects of a 65,000-vertex mesh, and on files of
#     10, 25 and 50 meshes of 60,000 vertices with 100 objects each, against the floor: a
#     plain program that reads the input and writes files of the same names and sizes;
#  4. peak memory (maximum resident size) beside the input file's size;
#  5. propcarver carving one object and the whole mesh out of the 65,536-vertex benchmark mesh, and
#     propbender scaling, turning and clipping it, each beside meshlister's report of the same mesh;
#  6. roomwright building 25, 50 and 100 rooms of 8 walls, each with two cut-outs and a prop;
#  7. dresscaster on set-dressing files of 250 to 2,000 props naming 10 meshes;
#  8. propbridge exporting the 65,536-vertex mesh to glTF and importing the model back, beside the report;
#  9. meshgallery: the gallery of the 100-object benchmark mesh and of a generated game of 1,000 mesh
#     files, each beside msh_preview drawing the same pictures one file at a time, the unchanged
#     second run, and peak memory beside that of the largest mesh alone; the 3D view of a mesh
#     file of 20 meshes of 65,536 vertices in headless Chromium with software WebGL: time per
#     frame while it turns and at rest, and the page's size beside its glTF binary's.
# 10. paklister listing 100,000 archive entries (text and JSON) beside reading the archives' catalogues,
#     and extracting every file of the example game's archive beside copying the extracted bytes.
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
    -h|--help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --tools) library=0; shift ;;
    --meshlister) meshlister=$(realpath "${2:?--meshlister needs a path}"); shift 2 ;;
    *) break ;;
  esac
done

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libbenchmark-dev time \
  libtinygltf-dev nlohmann-json3-dev chromium $(node_packages)

echo "== bench: configure and build"
cmake --preset bench -G Ninja >/dev/null
cmake --build --preset bench --target mesh_bench make_bench_mesh write_floor meshlister propcarver propbender \
  roomwright propbridge paklister make_example_game meshgallery msh_preview make_bench_game make_bench_paks \
  read_catalogues
bin="$PWD/$(preset_build_dir bench)/bin"
install_browser_driver "$(preset_build_dir bench)"
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
# a / b for the columns of the tables: five characters wide, 0 when b is 0.
ratio_column() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%5.2f", (b > 0 ? a / b : 0) }'; }
# a / b in a sentence ("1.42 x the report"): no padding, n/a when b is 0.
ratio_times() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

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
    "$(ms "$fw")" "$(ratio_column "$tw" "$fw")" "$files" $((bytes / 1000000))
  printf '   %-22s processor  %s   %-5s %s   ratio %s\n' "" "$(ms "$tc")" "" "$(ms "$fc")" "$(ratio_column "$tc" "$fc")"
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
    "$(awk -v s="$size" 'BEGIN { print s / 1000000 }')" "$(ratio_column $((kb * 1000)) "$size")"
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

# The prop tools on the 65,536-vertex, 64-object benchmark mesh, best of a few runs each.
runs=3
"$bin/make_bench_mesh" "$meshes/bench_building.msh" 64 1 65536
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
echo "   meshlister report (no exports):            best $report ms"
echo "   propcarver -v 0 (one object, $object_vertices vertices): best $object ms, $(ratio_times "$object" "$report") x the report"
echo "   propcarver -cp 1 2 3 -rpz 90 -sp 2 (all):  best $whole ms, $(ratio_times "$whole" "$report") x the report"
echo "   propbender -s 2 -rz 90 -cl (kept $bent_vertices vertices): best $bent ms, $(ratio_times "$bent" "$report") x the report"
echo "   target: carving and bending cost at most 2 x the report"

echo "== bench: propbridge export and import of the same mesh, beside meshlister's report"
mkdir -p "$work/model"
(cd "$work/run" && "$bin/propbridge" export bench_building.msh -o "$work/model" >/dev/null)
exported=$(best_ms "$bin/propbridge" export bench_building.msh)
imported=$(best_ms "$bin/propbridge" import "$work/model/bench_building.gltf" bench_back)
echo "   glTF model: $(stat -c %s "$work/model/bench_building.gltf") + $(stat -c %s "$work/model/bench_building.bin") bytes"
echo "   meshlister report (no exports):            best $report ms"
echo "   propbridge export (.gltf + .bin):          best $exported ms, $(ratio_times "$exported" "$report") x the report"
echo "   propbridge import (the prop package):      best $imported ms, $(ratio_times "$imported" "$report") x the report"
echo "   target: each at most 2 x the report"

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

# paklister: list of 100,000 archive entries in 4 archives (one in twenty repeated in a newer one)
# against reading the same catalogues, which every tool does at start-up; extract of every file of
# the example game's archive against copying the extracted files. Medians of wall and processor time.
echo "== bench: paklister list of 100,000 archive entries, beside reading the archives' catalogues"
"$bin/make_bench_paks" "$work/pak_game" 100000 4 >/dev/null
printf '[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n"GameDir"="%s"\n' "$work/pak_game" \
  > "$work/pak_game.reg"
mkdir -p "$work/pak_cache"
# Median wall and processor microseconds of `runs` runs of a command in a clean run folder.
median_run() {
  local runs=$1 walls=() cpus=() i t
  shift
  for i in $(seq 1 "$runs"); do
    rm -rf "$work/run"; mkdir -p "$work/run"
    t=$(cd "$work/run" && run_us "$@")
    walls+=("${t% *}"); cpus+=("${t#* }")
  done
  echo "$(median "${walls[@]}") $(median "${cpus[@]}")"
}
paks="$work/pak_game/data/pak/"
catalogues=$(median_run 5 "$bin/read_catalogues" "$paks" "$work/pak_cache")
listed=$(median_run 5 env REELMARA_REGISTRY="$work/pak_game.reg" "$bin/paklister" list)
json=$(median_run 5 env REELMARA_REGISTRY="$work/pak_game.reg" "$bin/paklister" list -json)
lines=$(cd "$work/run" && REELMARA_REGISTRY="$work/pak_game.reg" "$bin/paklister" list | grep -c '^data')
echo "   $("$bin/read_catalogues" "$paks" "$work/pak_cache"), $(du -sm "$paks" | cut -f1) MB; paklister lists $lines copies"
printf '   %-34s %s   processor %s\n' "reading the catalogues" "$(ms "${catalogues% *}")" "$(ms "${catalogues#* }")"
for result in "list:$listed" "list -json:$json"; do
  label=${result%%:*} t=${result#*:}
  printf '   %-34s %s   processor %s   ratio %s\n' "paklister $label" "$(ms "${t% *}")" "$(ms "${t#* }")" \
    "$(ratio_column "${t% *}" "${catalogues% *}")"
done
echo "   target: at most 2 x reading the catalogues"

echo "== bench: paklister extract of every file of the example game's archive, beside copying the bytes"
"$bin/make_example_game" "$work/pak_example" >/dev/null
export REELMARA_REGISTRY="$work/pak_example/reelmara.reg"
mkdir -p "$work/run"
archived=$(cd "$work/run" && "$bin/paklister" list | awk '$4 == "archive" { print $1 }')
rm -rf "$work/extracted"; mkdir -p "$work/extracted"
(cd "$work/extracted" && "$bin/paklister" extract $archived >/dev/null)
extracted=$(median_run 9 "$bin/paklister" extract $archived)
copied=$(median_run 9 cp -r "$work/extracted/data" copy)
echo "   $(echo $archived | wc -w) files, $(find "$work/extracted/data" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }') bytes"
printf '   %-34s %s   processor %s   ratio %s\n' "paklister extract" "$(ms "${extracted% *}")" \
  "$(ms "${extracted#* }")" "$(ratio_column "${extracted% *}" "${copied% *}")"
printf '   %-34s %s   processor %s\n' "cp -r of the extracted files" "$(ms "${copied% *}")" "$(ms "${copied#* }")"
echo "   target: at most 2 x copying the extracted bytes"
export REELMARA_REGISTRY="$work/example/reelmara.reg"

# dresscaster on set-dressing files of 250 to 2,000 props naming 10 meshes: under 1 s for 1,000
# props, and time growing no faster than the number of props. A game folder of its own.
echo "== bench: dresscaster on set-dressing files naming 10 meshes (256 vertices each)"
cmake --build --preset bench --target make_set_dressing_bench dresscaster meshlister >/dev/null
printf '[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n"GameDir"="%s"\n' "$work/set_game" \
  > "$work/set_game.reg"
mkdir -p "$work/set_game/data/pak" "$work/run"
previous=""
for props in 250 500 1000 2000; do
  "$bin/make_set_dressing_bench" "$work/set_game" "$work/set_$props.ini" "$props"
  ms=$(best_ms env REELMARA_REGISTRY="$work/set_game.reg" "$bin/dresscaster" "$work/set_$props.ini")
  groups=$(cd "$work/run" && REELMARA_REGISTRY="$work/set_game.reg" "$bin/meshlister" -newdata "set_$props" \
    -r set.txt "p_set_$props.msh" >/dev/null && tr -d '\r' < set.txt | grep -c '^GROUP #')
  per=$(awk -v t="$ms" -v n="$props" 'BEGIN { printf "%.0f", t * 1000 / n }')
  growth=""
  if [ -n "$previous" ]; then growth=", $(ratio_times "$ms" "$previous") x the half-size file"; fi
  echo "   $props props ($groups groups written): best $ms ms, $per us per prop$growth"
  previous=$ms
done
echo "   target: the 1,000-prop file in under 1 s, growing linearly (about 2 x per doubling)"

# meshgallery. The 100-object benchmark mesh beside today's way to the same pictures: meshlister
# exports every object and msh_preview draws the whole file three times and each export once. The
# game of 1,000 mesh files beside msh_preview drawing each file once. Then the run over the same
# game with nothing changed, and peak memory beside the largest mesh's gallery alone.
echo "== bench: meshgallery"
export REELMARA_REGISTRY="$work/reelmara.reg"
gallery_ms() { best_ms "$bin/meshgallery" "$@"; }
one_by_one_ms() {
  local start end
  rm -rf "$work/run"/*
  start=$(date +%s%N)
  (cd "$work/run" && "$bin/meshlister" -xo objects100.msh >/dev/null
   for view in angled above front; do "$bin/msh_preview" -view "$view" "$meshes/objects100.msh" "whole-$view.png"; done
   for export in objects100/*.msh; do "$bin/msh_preview" "$export" "${export%.msh}.png"; done)
  end=$(date +%s%N)
  echo $(( (end - start) / 1000000 ))
}
# Pictures are counted on the pages: the objects' pictures share a few sheet files.
pictures_in() { cat "$@" | grep -o '<img ' | wc -l; }
pictures=$( (cd "$work/run" && rm -rf g && "$bin/meshgallery" objects100.msh -o g >/dev/null &&
  pictures_in g/meshes/objects100.html) )
picture_files=$(ls "$work/run/g/meshes/objects100/"*.png | wc -l)
echo "   100-object mesh (65,000 vertices), $pictures pictures in $picture_files files:"
echo "     meshgallery -j 2:                         best $(gallery_ms objects100.msh -j 2) ms"
echo "     meshgallery -j 1:                         best $(gallery_ms objects100.msh -j 1) ms"
echo "     meshlister -xo and msh_preview one by one (103 pictures): $(one_by_one_ms) ms"

game="$work/gallery_game"
"$bin/make_bench_game" "$game" 1000
printf '[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n"GameDir"="%s"\n' "$game" > "$work/gallery.reg"
export REELMARA_REGISTRY="$work/gallery.reg"
echo "   generated game: 1,000 mesh files, $(du -sk "$game/data/meshes" | cut -f1) KB"
rm -rf "$work/run"/*
# The first run's processor time is shown as user and system time: the system's share is mostly
# the file system creating the gallery's files. It varies most from disk to disk; ext4 without a
# journal (some virtual disks) skips inodes freed in the last minutes, which the steps above
# free by the thousand.
TIMEFORMAT='%3R %3U %3S'
first_times=$( { time (cd "$work/run" && "$bin/meshgallery" "*.msh" >/dev/null 2>&1); } 2>&1 )
unset TIMEFORMAT
read -r first_wall first_user first_system <<<"$first_times"
first=$(awk -v s="$first_wall" 'BEGIN { printf "%d", s * 1000 }')
start=$(date +%s%N)
(cd "$work/run" && "$bin/meshgallery" "*.msh" >/dev/null)
end=$(date +%s%N)
second=$(( (end - start) / 1000000 ))
echo "     meshgallery \"*.msh\" (all processors):      $first ms, $(pictures_in "$work/run/gallery/meshes/"*.html) pictures" \
  "in $(find "$work/run/gallery" -name '*.png' | wc -l) files"
echo "       processor: ${first_user} s user, ${first_system} s system"
echo "     the same again, nothing changed:          $second ms"
start=$(date +%s%N)
for file in "$game"/data/meshes/*.msh; do "$bin/msh_preview" "$file" "$work/preview.png"; done
end=$(date +%s%N)
echo "     msh_preview on each file, one picture:    $(( (end - start) / 1000000 )) ms"
rm -rf "$work/run"/*
game_kb=$(cd "$work/run" && /usr/bin/time -f %M "$bin/meshgallery" "*.msh" -j 2 2>&1 >/dev/null | tail -n 1)
export REELMARA_REGISTRY="$work/reelmara.reg"
rm -rf "$work/run"/*
mesh_kb=$(cd "$work/run" && /usr/bin/time -f %M "$bin/meshgallery" objects100.msh -j 2 2>&1 >/dev/null | tail -n 1)
echo "     peak memory: the 1,000-file game $((game_kb / 1000)) MB, the 100-object mesh alone $((mesh_kb / 1000)) MB"
echo "   targets: 1,000 mesh files in under 20 s on 2 cores, the unchanged run under 1 s, memory bounded by the largest mesh"

# The 3D view of a large mesh file: 20 meshes of 65,536 vertices (100 objects each), drawn by
# Chromium's software WebGL.
echo "   3D view of 20 meshes of 65,536 vertices (headless Chromium, software WebGL):"
"$bin/make_bench_mesh" "$meshes/meshes20.msh" 100 20 65536
rm -rf "$work/run"/*
(cd "$work/run" && "$bin/meshgallery" meshes20.msh -o view >/dev/null)
node bench/view_frames.mjs "$(preset_build_dir bench)/browser" "$work/run/view/meshes/meshes20.html" 20
echo "   targets: turning smoothly (a frame in well under 100 ms), the page within twice its glTF binary"
