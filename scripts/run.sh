#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tablewright against a demo stand of its own: a
# PostgreSQL server and a SQLite data source kept in a per-user folder and reused between runs.
# The program's settings live in that folder too, never in the user's own configuration.
#
#   scripts/run.sh [ARGS]          on the demo stand (ARGS: a command, or none for the windows)
#   scripts/run.sh --own [ARGS]    on your own databases: your ODBC set-up and your settings
set -euo pipefail
cd "$(dirname "$0")/.."

own=false
if [ "${1:-}" = --own ]; then
  own=true
  shift
fi

# A command (list, copy, drop, rename, --help, --version) runs without a display; the windows
# need one, and that is checked before anything is installed or built.
command_line=false
if [ $# -gt 0 ] && { [[ $1 != -* ]] || [ "$1" = --help ] || [ "$1" = --version ]; }; then
  command_line=true
fi
if ! $command_line && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
Tablewright is a desktop program and there is no display here (DISPLAY is not set).
Start it from a graphical session, or on a virtual display with:
    xvfb-run -a scripts/run.sh
MSG
  exit 1
fi

scripts/install-deps.sh
TW_BUILD_TARGETS=tablewright scripts/build.sh   # the program only; the tests wait for scripts/test.sh

if $own; then
  exec build/src/tablewright "$@"
fi

demo=$(scripts/demo-stand.sh)
# shellcheck disable=SC1091
source "$demo/stand.env"

echo "Demo stand: $demo (settings in $XDG_CONFIG_HOME)" >&2
exec build/src/tablewright "$@"
