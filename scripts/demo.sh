#!/usr/bin/env bash
# Builds the suite and runs it on a bundled miniature game installation, so that you can see
# what the tools do without the game installed. Everything lands in demo-run/.
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libtinygltf-dev nlohmann-json3-dev \
  $(node_packages)

echo "== building"
cmake --preset default -G Ninja >/dev/null
cmake --build --preset default
install_gltf_validator build

root="$PWD"
run="$root/demo-run"
rm -rf "$run"
"$root/build/bin/make_example_game" "$run"
mkdir -p "$run/work"

# The tools find the game (and dresscaster the documents folder) through the registry; on Linux
# a registry file can stand in for it.
export REELMARA_REGISTRY="$run/reelmara.reg"
export REELMARA_NO_PAUSE=1

echo
echo "== meshlister -xo p_demo_table.msh p_demo_shelf.msh   (in demo-run/work)"
(cd "$run/work" && "$root/build/bin/meshlister" -xo p_demo_table.msh p_demo_shelf.msh)

# Pictures of the inputs and of every export, to look at rather than read.
mkdir -p "$run/previews"
"$root/build/bin/msh_preview" "$run/work/cache/data/meshes/p_demo_table.msh" "$run/previews/p_demo_table.png"
"$root/build/bin/msh_preview" "$run/game/data/meshes/p_demo_shelf.msh" "$run/previews/p_demo_shelf.png"
for export in "$run"/work/p_demo_*/*.msh; do
  name="$(basename "$(dirname "$export")")_$(basename "$export" .msh)"
  "$root/build/bin/msh_preview" "$export" "$run/previews/$name.png"
done

# dresscaster: an arrangement saved in the game (two tables, a desk that uses the table's mesh
# through its set-dressing INI, two shelves) turned into one prop. The file is found in the
# documents folder's Reelmara/Set Dressing/Demo/ folder, which the registry file names.
echo
echo "== dresscaster demo_office.ini -cat 4   (found in demo-run/documents/Reelmara/Set Dressing/Demo/)"
(cd "$run/work" && "$root/build/bin/dresscaster" demo_office.ini -cat 4)
"$root/build/bin/msh_preview" "$run/work/demo_office/data/meshes/p_demo_office.msh" "$run/previews/p_demo_office.png"

# propcarver: one object picked from meshlister's listing (the second book of the shelf's
# books mesh), centred on the Z axis and stood on the floor, turned and re-textured.
book=$(tr -d '\r' < "$run/work/meshlister.txt" | sed -n '/^Group #1, Mesh #1: Has multiple 3D objects!/{n;p;}' \
  | awk '{print $6}')
echo
echo "== propcarver p_demo_shelf.msh demo_book -g 1 -n book -m 1 -cv $book -rpz 90 -t0 demo_book_red.dds"
(cd "$run/work" && "$root/build/bin/propcarver" p_demo_shelf.msh demo_book -g 1 -n book -m 1 -cv "$book" -rpz 90 \
  -t0 demo_book_red.dds)
echo
echo "== meshlister reads the carved prop back:   -newdata p_demo_book -r p_demo_book.txt p_demo_book.msh"
(cd "$run/work" && "$root/build/bin/meshlister" -newdata p_demo_book -r p_demo_book.txt p_demo_book.msh)
tr -d '\r' < "$run/work/p_demo_book.txt" | sed -n '/^GROUP #0/,/Flags/p'
"$root/build/bin/msh_preview" "$run/work/p_demo_book/data/meshes/p_demo_book.msh" "$run/previews/p_demo_book.png"

# propbender: the whole shelf turned a quarter round, made half as big, and every mesh given a
# light-map texture.
echo
echo "== propbender p_demo_shelf.msh demo_shelf_small -rz 90 -s 0.5 -lma demo_shelf_lm.dds"
(cd "$run/work" && "$root/build/bin/propbender" p_demo_shelf.msh demo_shelf_small -rz 90 -s 0.5 \
  -lma demo_shelf_lm.dds)
echo
echo "== meshlister reads it back:   -newdata p_demo_shelf_small -r p_demo_shelf_small.txt p_demo_shelf_small.msh"
(cd "$run/work" && "$root/build/bin/meshlister" -newdata p_demo_shelf_small -r p_demo_shelf_small.txt \
  p_demo_shelf_small.msh)
tr -d '\r' < "$run/work/p_demo_shelf_small.txt" | sed -n '/^3D Co-ordinate Range/,/^  Z/p'
tr -d '\r' < "$run/work/p_demo_shelf_small.txt" | grep 'Using material'
"$root/build/bin/msh_preview" "$run/work/p_demo_shelf_small/data/meshes/p_demo_shelf_small.msh" \
  "$run/previews/p_demo_shelf_small.png"
# roomwright: a room (walls, a window, a door, a lamp, a shelf and the table) and the outside of a
# building, from the room INI files and the cut-out library in examples/rooms/; each prints its wall report.
cp "$root"/examples/rooms/*.ini "$run/work/"
for room in demo_room demo_building; do
  echo
  echo "== roomwright $room.ini   (in demo-run/work)"
  (cd "$run/work" && "$root/build/bin/roomwright" "$room.ini")
  for view in above front; do
    "$root/build/bin/msh_preview" -view "$view" -cull "$run/work/$room/data/meshes/p_$room.msh" \
      "$run/previews/p_${room}_$view.png"
  done
done
# propbridge: the example table out to glTF (checked by the glTF validator), back in as a prop,
# and both drawn side by side.
echo
echo "== propbridge export p_demo_table.msh -o gltf   (then the glTF validator's report)"
(cd "$run/work" && "$root/build/bin/propbridge" export p_demo_table.msh -o gltf)
node "$root/tests/propbridge/validate.mjs" "$root/build/gltf-validator" "$run/work/gltf/p_demo_table.gltf"
echo
echo "== propbridge import gltf/p_demo_table.gltf demo_table_back"
(cd "$run/work" && "$root/build/bin/propbridge" import gltf/p_demo_table.gltf demo_table_back)
"$root/build/bin/msh_preview" "$run/work/p_demo_table_back/data/meshes/p_demo_table_back.msh" \
  "$run/previews/p_demo_table_back.png"

# paklister: what the game's sources hold and which copy wins; the table's texture and the desk's
# INI file out of the archive into a mod folder; then which copy of the texture wins with that
# folder given to -newdata, and the reading of an export by its path.
echo
echo "== paklister list   (in demo-run/work)"
(cd "$run/work" && "$root/build/bin/paklister" list)
echo
echo "== paklister extract textures/demo_wood_light.dds p_demo_desk.ini -o mymod"
(cd "$run/work" && "$root/build/bin/paklister" extract textures/demo_wood_light.dds p_demo_desk.ini -o mymod)
echo
echo "== paklister -newdata mymod which demo_wood_light.dds"
(cd "$run/work" && "$root/build/bin/paklister" -newdata mymod which demo_wood_light.dds)
echo
echo "== paklister list -json \"*.ini\""
(cd "$run/work" && "$root/build/bin/paklister" list -json "*.ini")
echo
echo "== meshlister -r export.txt p_demo_table/group00mesh00.msh   (an export read by its path)"
(cd "$run/work" && "$root/build/bin/meshlister" -r export.txt p_demo_table/group00mesh00.msh)
# meshgallery: every mesh of the example game (and the props made above, through -newdata) as pages
# to open in a browser.
echo
echo "== meshgallery -newdata p_demo_book \"*.msh\" -o gallery   (in demo-run/work)"
(cd "$run/work" && "$root/build/bin/meshgallery" -newdata p_demo_book "*.msh" -o gallery)

cat <<EOT

The example game:      demo-run/game (the shelf loose in data/meshes, the table and its texture inside
                       data/pak/demo.pak)
Its registry file:     demo-run/reelmara.reg (named by REELMARA_REGISTRY: the game folder, the documents folder)
meshlister's report:   demo-run/work/meshlister.txt
Exported meshes:       demo-run/work/p_demo_table/ and demo-run/work/p_demo_shelf/
                       (group00mesh00.msh is a whole mesh; ...vertex0024.msh one separate object)
Archive extracts:      demo-run/work/cache/data/meshes/p_demo_table.msh
Pictures:              demo-run/previews/*.png (each input and each export, drawn by build/bin/msh_preview)
dresscaster's package: demo-run/work/demo_office/data/ (meshes/p_demo_office.msh and the three INI files),
                       from demo-run/documents/Reelmara/Set Dressing/Demo/demo_office.ini;
                       its picture: demo-run/previews/p_demo_office.png
propcarver's package:  demo-run/work/p_demo_book/data/ (meshes/p_demo_book.msh, propblueprint/, props/, setdressing/)
                       copy that data folder into the game folder to use the prop; its report:
                       demo-run/work/p_demo_book.txt; its picture: demo-run/previews/p_demo_book.png
                       beside its source, demo-run/previews/p_demo_shelf.png
propbender's package:  demo-run/work/p_demo_shelf_small/data/ (the whole shelf turned, halved, with light-maps);
                       its report: demo-run/work/p_demo_shelf_small.txt; its picture:
                       demo-run/previews/p_demo_shelf_small.png beside demo-run/previews/p_demo_shelf.png
roomwright's packages: demo-run/work/demo_room/data/ and demo-run/work/demo_building/data/, built from
                       demo-run/work/demo_room.ini, demo_building.ini and the cut-out library demo_cutouts.ini;
                       pictures: demo-run/previews/p_demo_room_above.png, _front.png (and p_demo_building_...)
propbridge's glTF:     demo-run/work/gltf/p_demo_table.gltf (+ .bin), for Blender and other 3D editors
                       imported back as demo-run/work/p_demo_table_back/data/; both drawn:
                       demo-run/previews/p_demo_table.png and demo-run/previews/p_demo_table_back.png
meshgallery's pages:   demo-run/work/gallery/ (a card per mesh file, a page per file with every object)
paklister's extracts:  demo-run/work/mymod/data/ (textures/demo_wood_light.dds and setdressing/p_demo_desk.ini,
                       out of demo-run/game/data/pak/demo.pak), a mod folder for -newdata
EOT
echo
echo "== the report's first lines"
head -n 30 "$run/work/meshlister.txt" | tr -d '\r'
echo
echo "Open the mesh gallery in a browser: file://$run/work/gallery/index.html"
