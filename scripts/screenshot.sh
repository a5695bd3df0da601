#!/usr/bin/env bash
# Starts the built program on a virtual display and saves a picture of the screen.
# Usage: scripts/screenshot.sh <out.png> [seconds to wait, default 3]
# The environment decides what the program connects to (source a stand.env first).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:?usage: $0 <out.png> [seconds]}")
wait=${2:-3}
xvfb-run -a -s '-screen 0 1024x768x24' sh -c "
  build/src/tablewright & program=\$!
  sleep $wait
  build/tests/screenshot '$out'
  kill \$program"
echo "$out"
