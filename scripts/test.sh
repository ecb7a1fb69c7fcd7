#!/usr/bin/env bash
# Builds the suite and runs every test through CTest.
#   scripts/test.sh             native build (build/)
#   scripts/test.sh --sanitize  AddressSanitizer + UBSan build (build-sanitize/)
#   scripts/test.sh --windows   mingw-w64 cross build, tests under Wine (build-windows/)
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

preset=default
case "${1:-}" in
  "") ;;
  --sanitize) preset=sanitize ;;
  --windows) preset=windows ;;
  -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "Unknown option: $1 (use --sanitize or --windows)" >&2; exit 2 ;;
esac

packages=(cmake g++ ninja-build zlib1g-dev libgtest-dev googletest)
if [ "$preset" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64)
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

echo "== $preset: tests"
rm -rf "$build_dir/test-results"
mkdir -p "$build_dir/test-results"
status=0
ctest --preset "$preset" || status=$?
summarize_results "$preset" "$build_dir/test-results" || status=1
exit $status
