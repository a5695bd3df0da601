#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ with clang and runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     default: 60 seconds each, every target
#
# Each target keeps its corpus in build-fuzz/corpus/<target>, so a later run goes on from there.
# A finding is written to build-fuzz/findings/ and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS] [TARGET...]" >&2; exit 2; }
shift $(( $# > 0 ? 1 : 0 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_statements fuzz_connection_string)

scripts/install-deps.sh --fuzz
cmake -S . -B build-fuzz -DTW_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

mkdir -p build-fuzz/findings
failed=0
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  echo "== $target, $seconds s"
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "build-fuzz/fuzz/$target" \
         -max_total_time="$seconds" -print_final_stats=1 \
         -artifact_prefix="build-fuzz/findings/$target-" "build-fuzz/corpus/$target" \
         2> "build-fuzz/$target.log"; then
    failed=1
    tail -n 40 "build-fuzz/$target.log" >&2
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "build-fuzz/$target.log" || true
done
exit $failed
