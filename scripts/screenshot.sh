#!/usr/bin/env bash
# Starts the built program on a virtual display and saves a picture of the screen.
#
#   scripts/screenshot.sh <out.png> [seconds to wait, default 3]
#       The environment decides what the program connects to (source a stand.env first).
#   scripts/screenshot.sh --readme
#       The README's pictures, from the demo stand: the connection window, the tables window,
#       and a copy in progress (a large table made for the picture and dropped afterwards).
set -euo pipefail
cd "$(dirname "$0")/.."

shot() {   # <out.png> <seconds> [what to do once the window is up]
  local out=$1 wait=$2 act=${3:-}
  xvfb-run -a -s '-screen 0 1024x768x24' bash -c "
    build/src/tablewright & program=\$!
    sleep $wait
    $act
    build/tests/screenshot '$out'
    kill \$program"
  echo "$out"
}

if [ "${1:-}" != --readme ]; then
  out=$(realpath -m "${1:?usage: $0 <out.png> [seconds] | --readme}")
  shot "$out" "${2:-3}"
  exit 0
fi

command -v xdotool >/dev/null || { echo "xdotool is needed: apt-get install xdotool" >&2; exit 2; }
[ -x build/tests/screenshot ] || { echo "build first: scripts/build.sh" >&2; exit 2; }
demo=$(scripts/demo-stand.sh)
# shellcheck disable=SC1091
source "$demo/stand.env"
mkdir -p docs

# The tables window: the demo's remembered values open it straight away.
shot "$PWD/docs/tables-window.png" 3

# The connection window, filled in: with a password that does not work the program stays there.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
sed 's/^OraclePassword=.*/OraclePassword=not-the-password/' "$XDG_CONFIG_HOME/Quillmark.ini" > "$config/Quillmark.ini"
XDG_CONFIG_HOME=$config shot "$PWD/docs/connection-window.png" 6

# A copy in progress: a table of 300,000 rows, selected and sent into SQL Anywhere.
psql -q -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -v ON_ERROR_STOP=1 <<'SQL'
DROP TABLE IF EXISTS "BIG";
CREATE TABLE "BIG"(id integer, name varchar(40), amount numeric(12,2), at timestamp);
INSERT INTO "BIG" SELECT g, 'customer ' || g, g * 1.25, timestamp '2024-01-01' + g * interval '1 minute'
FROM generate_series(1, 300000) g;
SQL
# Window coordinates from the layout in twips (15 to a pixel): the first item of the Oracle
# list, then "Send Table/s To Sybase iAny".
XDG_STATE_HOME=$config shot "$PWD/docs/copy-in-progress.png" 3 '
  window=$(xdotool search --sync --onlyvisible --name "^Tablewright" | head -1)
  xdotool mousemove --window "$window" 300 40 click 1
  xdotool mousemove --window "$window" 399 194 click 1
  sleep 2'
psql -q -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -c 'DROP TABLE IF EXISTS "BIG"'
sqlite3 "$demo/sqlany.db" 'DROP TABLE IF EXISTS "BIG"'
