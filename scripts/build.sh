#!/usr/bin/env bash
# Configures and builds the program, the tests and the benchmark.
#
#   scripts/build.sh                                    into build/
#   scripts/build.sh build-asan -DTW_SANITIZE=ON        another tree, with further CMake options
#   TW_BUILD_TARGETS=tablewright scripts/build.sh       only the named targets
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build}
shift $(( $# > 0 ? 1 : 0 ))
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
targets=()
for target in ${TW_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$tree" -j"$(nproc)" "${targets[@]}"
