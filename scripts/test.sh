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

scripts/install-deps.sh --test
scripts/check-format.sh
# The tests are built whatever an earlier configure of the folders said.
scripts/build.sh build -DBUILD_TESTING=ON
failed=0
echo "== the Debian package"
scripts/check-package.sh build || failed=1
scripts/build.sh build-asan -DTW_SANITIZE=ON -DBUILD_TESTING=ON
# Only what the copies of several tables at once need, under ThreadSanitizer.
TW_BUILD_TARGETS="tablewright unit_test command_line_test" scripts/build.sh build-tsan -DTW_TSAN=ON \
  -DBUILD_TESTING=ON

stand=$(TW_STAND_OWNER_PID=$$ "$root/tests/stand/start.sh")
trap '"$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# shellcheck disable=SC1091
source "$stand/stand.env"

echo "== the suite as built"
(cd "$root/build" && ctest --output-on-failure --no-label-summary -j"$(nproc)") || failed=1

# Memory errors, leaks and undefined behaviour end the test that meets them. The drivers'
# own leaks are suppressed (see the file); the slow unwinder follows the drivers' frames, which
# have no frame pointers, up to the ODBC call the suppressions name.
# The tests that kill the program part way through copies of 100,000 rows show what a kill
# leaves in the databases, not how the program uses memory; under the slow unwinder they take
# minutes where the build as it is takes seconds, and could outlast their time-out. The run as
# built covers them.
echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
(cd "$root/build-asan" &&
  ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_stack_use_after_return=1:check_initialization_order=1 \
  LSAN_OPTIONS=suppressions="$root/tests/sanitizers/lsan.supp" \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure --no-label-summary -j"$(nproc)" -E 'StagedReplaceStand/Killed|AKilledNewTable') ||
  failed=1

# A data race in the jobs, their front end or a batch written while the next is read ends the
# program with status 66, which fails the test that ran it.
echo "== the parallel copies under ThreadSanitizer"
(cd "$root/build-tsan" &&
  TSAN_OPTIONS=exitcode=66:halt_on_error=1:second_deadlock_stack=1 \
  ctest --output-on-failure --no-label-summary -R ParallelCopy) || failed=1
exit $failed
