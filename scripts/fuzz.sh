#!/usr/bin/env bash
# Fuzzes every reader of the suite with libFuzzer, under AddressSanitizer and UBSan (the `fuzz`
# preset, clang), then replays the seed corpus, the regression inputs and what the run added.
#   scripts/fuzz.sh [seconds] [target...]   each target for `seconds` (default 60), one after another
#   scripts/fuzz.sh --help                  these lines
# Targets: mesh_file pak_archive ini_file room_builder (default: all). An input that crashes,
# hangs, leaks or allocates too much is kept in build-fuzz/findings/<target>/; fix the code, then
# add the input to fuzz/regressions/<target>/, whose inputs every test build replays.
# Installs missing Debian packages when run as root; otherwise prints the apt-get command.
# Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/setup.sh

case "${1:-}" in
  -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(mesh_file pak_archive ini_file room_builder)

ensure_packages cmake ninja-build clang libclang-rt-14-dev zlib1g-dev libtinygltf-dev nlohmann-json3-dev

echo "== fuzz: configure and build"
cmake --preset fuzz -G Ninja >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

# The entries write their inputs to files (the readers read files): a scratch folder in memory
# where there is one.
scratch=$(mktemp -d "$( [ -d /dev/shm ] && echo /dev/shm || echo "$PWD/build-fuzz" )/reelmara-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Limits, per target:
#  -max_len      the largest input: 64 KiB for MSH files and archives (room for every section and
#                a few hundred entries), 16 KiB for INI text and rooms (hundreds of sections and
#                wall points); larger inputs only slow each run down. Long inputs that the
#                readers must handle quickly (a room of thousands of corners, an INI file of
#                thousands of lines) are regression inputs instead.
#  -timeout      10 s for one input: the slowest sound input of that size takes well under a second
#                even under the sanitizers on a busy machine, so more is a hang.
#  -rss_limit_mb 2048, and -malloc_limit_mb 600: the largest allocation the readers make on purpose
#                is an archive entry of 512 MiB (the decompressed size they accept); anything larger
#                from an input of 64 KiB is a finding, and 2 GiB leaves the sanitizers' own
#                bookkeeping room on a machine of 4 GiB.
#  -close_fd_mask=3 drops the tools' own messages; libFuzzer and the sanitizers still report.
# The fuzzing starts from the seed corpus and what earlier runs added; the regression inputs are
# only replayed: the long ones would make libFuzzer try inputs of the largest length at once,
# which slows the fuzzing down (the INI target ran at about a third of its speed with them).
max_len() { case "$1" in ini_file|room_builder) echo 16384 ;; *) echo 65536 ;; esac; }

status=0
for target in "${targets[@]}"; do
  program=build-fuzz/bin/fuzz_$target
  [ -x "$program" ] || { echo "Unknown target: $target" >&2; exit 2; }
  work=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  mkdir -p "$work" "$findings" "fuzz/regressions/$target"
  dict=()
  [ -f "fuzz/dictionaries/$target.dict" ] && dict=("-dict=fuzz/dictionaries/$target.dict")
  echo "== fuzz: $target for $seconds s"
  if ! "$program" "${dict[@]}" -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 \
       -rss_limit_mb=2048 -malloc_limit_mb=600 -close_fd_mask=3 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$work" "fuzz/corpus/$target" \
       </dev/null 2>"build-fuzz/$target.log"; then
    echo "   FINDING: see build-fuzz/$target.log and $findings/"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "build-fuzz/$target.log" |
    sed 's/^stat::/   /' || true
done

echo "== fuzz: replay of the seed corpus, the regression inputs and the grown corpus"
for target in "${targets[@]}"; do
  if build-fuzz/bin/fuzz_"$target" -runs=0 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=600 -close_fd_mask=3 \
       "build-fuzz/corpus/$target" "fuzz/corpus/$target" "fuzz/regressions/$target" </dev/null \
       2>"build-fuzz/$target.replay.log"; then
    printf '   %-14s %s inputs\n' "$target" \
      "$(sed -n 's/.*INITED.*corp: \([0-9]*\).*/\1/p' "build-fuzz/$target.replay.log" | tail -n 1)"
  else
    echo "   $target: FAILED, see build-fuzz/$target.replay.log"
    status=1
  fi
done
[ $status -eq 0 ] && echo "== fuzz: no findings" || echo "== fuzz: FINDINGS"
exit $status
