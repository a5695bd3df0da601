#!/usr/bin/env bash
# Installs what is missing, checks the code's layout, builds, makes and checks the Debian
# package, starts the test stand, runs every test and stops the stand again, whether the tests
# pass, fail or are interrupted. The suite runs twice on the one stand: as built (build/), then
# built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/); the tests of copies
# of several tables at once run a third time under ThreadSanitizer (build-tsan/). Exits non-zero
# when the package or any test of any run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# How long each phase took, printed at the end, also when a phase fails or the run is stopped.
timings=()
timed() {  # timed NAME COMMAND...: runs the command and notes its time under the name
  local name=$1 began=$SECONDS status=0
  shift
  "$@" || status=$?
  timings+=("$(printf '%-52s %5d s' "$name" $((SECONDS - began)))")
  return $status
}
print_timings() {
  echo "== how long each phase took"
  printf '%s\n' "${timings[@]}"
  printf '%-52s %5d s\n' "all" "$SECONDS"
}
stand=""
finish() {
  if [[ -n "$stand" ]]; then "$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true; fi
  print_timings
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

timed "installing what is missing" scripts/install-deps.sh --test
timed "the format check" scripts/check-format.sh
# The tests are built whatever an earlier configure of the folders said.
timed "the build (build/)" scripts/build.sh build -DBUILD_TESTING=ON
failed=0
echo "== the Debian package"
timed "the Debian package" scripts/check-package.sh build || failed=1
# The sanitizer trees are built whole, never edited: unity builds (several files a compile) save
# the headers parsed again for every file.
timed "the build under the sanitizers (build-asan/)" scripts/build.sh build-asan -DTW_SANITIZE=ON -DBUILD_TESTING=ON \
  -DCMAKE_UNITY_BUILD=ON
# Only what the copies of several tables at once need, under ThreadSanitizer.
TW_BUILD_TARGETS="tablewright unit_test front_end_unit_test command_line_test" timed "the build under ThreadSanitizer (build-tsan/)" \
  scripts/build.sh build-tsan -DTW_TSAN=ON -DBUILD_TESTING=ON -DCMAKE_UNITY_BUILD=ON

stand=$(TW_STAND_OWNER_PID=$$ "$root/tests/stand/start.sh")
# shellcheck disable=SC1091
source "$stand/stand.env"

echo "== the suite as built"
suite() { (cd "$root/build" && ctest --output-on-failure --no-label-summary -j"$(nproc)"); }
timed "the suite as built" suite || failed=1

# Memory errors, leaks and undefined behaviour end the test that meets them. The drivers'
# own leaks are suppressed by the driver's library (see the file).
echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitized_suite() {
  (cd "$root/build-asan" &&
    ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1 \
    LSAN_OPTIONS=suppressions="$root/tests/sanitizers/lsan.supp" \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure --no-label-summary -j"$(nproc)")
}
timed "the suite under the sanitizers" sanitized_suite || failed=1

# A data race in the jobs, their front end or a batch written while the next is read ends the
# program with status 66, which fails the test that ran it.
echo "== the parallel copies under ThreadSanitizer"
threads_suite() {
  (cd "$root/build-tsan" &&
    TSAN_OPTIONS=exitcode=66:halt_on_error=1:second_deadlock_stack=1 \
    ctest --output-on-failure --no-label-summary -R ParallelCopy)
}
timed "the parallel copies under ThreadSanitizer" threads_suite || failed=1
exit $failed
