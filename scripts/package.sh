#!/usr/bin/env bash
# Builds the release packages into dist/ and tries each one out on the example game:
#   reelmara-prop-tools-<version>-windows-x64.zip       the Windows programs (self-contained .exe files)
#   reelmara-prop-tools_<version>_amd64.deb             the Linux programs as a Debian package
#   reelmara-prop-tools-<version>-linux-x86_64.tar.gz   the same as a plain archive
# The Linux archive and the Debian package are unpacked and run natively, the ZIP under Wine.
# Uses the build folders of scripts/test.sh (build/ and build-windows/), so after the tests
# nothing is compiled again. Installs missing Debian packages when run as root; otherwise
# prints the apt-get command. Exits non-zero when a package cannot be made or does not work.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

case "${1:-}" in
  "") ;;
  -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "Unknown option: $1" >&2; exit 2 ;;
esac

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest dpkg-dev \
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64

root="$PWD"
dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"

for preset in default windows; do
  build_dir=$(preset_build_dir "$preset")
  echo "== $preset: configure, build and package"
  cmake --preset "$preset" -G Ninja >/dev/null
  cmake --build --preset "$preset"
  (cd "$build_dir" && cpack -B "$dist" >/dev/null)
done
rm -rf "$dist/_CPack_Packages"

check="$(mktemp -d)"
key='HKCU\Software\Brassnook Studios Ltd\Reelmara'
key_set=0
cleanup() {
  [ $key_set -eq 0 ] || wine reg delete "$key" /v GameDir /f >/dev/null 2>&1 || true
  rm -rf "$check"
}
trap cleanup EXIT
fail() { echo "package check FAILED: $*" >&2; exit 1; }

# Makes the example game in $1 with the generator $2... and runs meshlister $3... in its work
# folder; the exports and a picture of one prove that the programs work.
try_programs() {
  local demo=$1 generator=$2 lister=$3 preview=$4
  shift 4
  "$@" "$generator" "$demo" >/dev/null || fail "$generator"
  mkdir -p "$demo/work"
  (cd "$demo/work" && "$@" "$lister" -xo p_demo_table.msh p_demo_shelf.msh >"$demo/console.txt") \
    || { cat "$demo/console.txt"; fail "$lister"; }
  [ -f "$demo/work/p_demo_table/group00mesh00vertex0024.msh" ] || fail "$lister wrote no object export"
  [ -f "$demo/work/p_demo_shelf/group01mesh01.msh" ] || fail "$lister wrote no mesh export"
  "$@" "$preview" "$demo/work/p_demo_table/group00mesh00.msh" "$demo/table.png" || fail "$preview"
  [ -s "$demo/table.png" ] || fail "$preview drew nothing"
  # propbridge sits beside meshlister in every package.
  local bridge=${lister/meshlister/propbridge}
  (cd "$demo/work" && "$@" "$bridge" export p_demo_table.msh >>"$demo/console.txt") \
    || { cat "$demo/console.txt"; fail "$bridge"; }
  [ -s "$demo/work/p_demo_table.gltf" ] && [ -s "$demo/work/p_demo_table.bin" ] || fail "$bridge wrote no glTF model"
  # So does meshgallery.
  local gallery=${lister/meshlister/meshgallery}
  (cd "$demo/work" && "$@" "$gallery" "*.msh" >>"$demo/console.txt") || { cat "$demo/console.txt"; fail "$gallery"; }
  [ -s "$demo/work/gallery/index.html" ] && [ -s "$demo/work/gallery/meshes/p_demo_table/angled.png" ] \
    || fail "$gallery wrote no gallery"
  # So does paklister: the archive's texture taken out.
  local paklister=${lister/meshlister/paklister}
  (cd "$demo/work" && "$@" "$paklister" extract demo_wood_light.dds -o mod >>"$demo/console.txt") \
    || { cat "$demo/console.txt"; fail "$paklister"; }
  [ -s "$demo/work/mod/data/textures/demo_wood_light.dds" ] || fail "$paklister extracted no texture"
}

export REELMARA_NO_PAUSE=1

echo "== Linux archive: unpacked and run natively"
tar -xzf "$dist"/reelmara-prop-tools-*-linux-*.tar.gz -C "$check"
linux=$(echo "$check"/reelmara-prop-tools-*-linux-*)
REELMARA_REGISTRY="$check/demo-linux/reelmara.reg" \
  try_programs "$check/demo-linux" "$linux/bin/make_example_game" "$linux/bin/meshlister" "$linux/bin/msh_preview"
[ -f "$linux/share/doc/reelmara-prop-tools/README.md" ] || fail "no README in the Linux archive"

echo "== Debian package: unpacked and run natively"
dpkg-deb -x "$dist"/reelmara-prop-tools_*.deb "$check/deb"
REELMARA_REGISTRY="$check/demo-deb/reelmara.reg" \
  try_programs "$check/demo-deb" "$check/deb/usr/bin/make_example_game" "$check/deb/usr/bin/meshlister" \
  "$check/deb/usr/bin/msh_preview"
dpkg-deb -f "$dist"/reelmara-prop-tools_*.deb Depends | grep -q zlib1g \
  || fail "the Debian package does not depend on zlib"

echo "== Windows ZIP: unpacked and run under Wine"
prepare_wine build-windows
mkdir -p "$check/zip"
(cd "$check/zip" && cmake -E tar xf "$dist"/reelmara-prop-tools-*-windows-x64.zip)
windows=$(echo "$check"/zip/reelmara-prop-tools-*-windows-x64)
[ -f "$windows/README.md" ] && [ -f "$windows/LICENSE" ] || fail "no README or licence in the ZIP"
# On Windows the game is found through the registry, as the game's installer leaves it.
key_set=1
wine reg add "$key" /v GameDir /t REG_SZ /d "$(winepath -w "$check/demo-windows/game")" /f >/dev/null 2>&1
try_programs "$check/demo-windows" "$windows/examples/make_example_game.exe" "$windows/meshlister.exe" \
  "$windows/examples/msh_preview.exe" wine

echo "== packages (each unpacked and run on the example game)"
ls -1 "$dist"
