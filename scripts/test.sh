#!/usr/bin/env bash
# Builds the suite and runs every test through CTest.
#   scripts/test.sh             native build (build/)
#   scripts/test.sh --sanitize  AddressSanitizer + UBSan build (build-sanitize/)
#   scripts/test.sh --windows   mingw-w64 cross build, tests under Wine (build-windows/)
#   scripts/test.sh --valgrind  native build, each test program under valgrind (no leak, no invalid access)
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

preset=default
valgrind=0
case "${1:-}" in
  "") ;;
  --sanitize) preset=sanitize ;;
  --windows) preset=windows ;;
  --valgrind) preset=default; valgrind=1 ;;
  -h|--help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "Unknown option: $1 (use --sanitize or --windows)" >&2; exit 2 ;;
esac

packages=(cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libtinygltf-dev nlohmann-json3-dev chromium
  $(node_packages))
if [ "$preset" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64)
fi
if [ "$valgrind" = 1 ]; then
  packages+=(valgrind)
fi
ensure_packages "${packages[@]}"

build_dir=$(preset_build_dir "$preset")
if [ "$preset" = windows ]; then
  prepare_wine "$build_dir"
fi
if [ "$preset" = sanitize ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

echo "== $preset: configure and build"
cmake --preset "$preset" -G Ninja >/dev/null
cmake --build --preset "$preset"
install_gltf_validator "$build_dir"
install_browser_driver "$build_dir"

if [ "$valgrind" = 1 ]; then
  echo "== valgrind: every test program"
  status=0
  for program in "$PWD/$build_dir"/bin/*_tests; do
    echo "   $(basename "$program")"
    (cd "$build_dir" && REELMARA_NO_PAUSE=1 valgrind -q --error-exitcode=9 --leak-check=full \
       --errors-for-leak-kinds=definite,indirect "$program" --gtest_brief=1 >/dev/null) || status=1
  done
  [ $status -eq 0 ] && echo "== valgrind: no errors, no leaks" || echo "== valgrind: FAILED"
  exit $status
fi

echo "== $preset: tests"
rm -rf "$build_dir/test-results"
mkdir -p "$build_dir/test-results"
status=0
ctest --preset "$preset" || status=$?
summarize_results "$preset" "$build_dir/test-results" || status=1
exit $status
