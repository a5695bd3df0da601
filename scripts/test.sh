#!/usr/bin/env bash
# Installs what is missing, builds, starts the test stand, runs every test and stops the stand
# again, whether the tests pass, fail or are interrupted. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh --test
scripts/build.sh

stand=$(TW_STAND_OWNER_PID=$$ "$root/tests/stand/start.sh")
trap '"$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# shellcheck disable=SC1091
source "$stand/stand.env"

cd "$root/build"
ctest --output-on-failure --no-label-summary -j"$(nproc)"
