#!/usr/bin/env bash
# Installs what is missing, builds, and runs the transfer benchmark on a stand of its own.
# Options go to bench/run.sh (for example --rows 20000 --runs 5).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --bench
scripts/build.sh >/dev/null
exec bench/run.sh "$@"
