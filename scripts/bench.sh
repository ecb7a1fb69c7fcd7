#!/usr/bin/env bash
# Builds the benchmark programs in an optimised build (build-bench/) and runs them.
#   scripts/bench.sh [benchmark options]   e.g. --benchmark_filter=TraverseAll
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

case "${1:-}" in
  -h|--help) sed -n '2,4p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac

ensure_packages cmake g++ ninja-build zlib1g-dev libgtest-dev googletest libbenchmark-dev

echo "== bench: configure and build"
cmake --preset bench -G Ninja >/dev/null
cmake --build --preset bench --target mesh_bench

echo "== bench: mesh_bench"
"$(preset_build_dir bench)/bin/mesh_bench" "$@"
