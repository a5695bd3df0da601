#!/usr/bin/env bash
# Starts the built program on a virtual display and saves a picture of the screen.
#
#   scripts/screenshot.sh <out.png> [seconds to wait, default 3]
#       The environment decides what the program connects to (source a stand.env first).
#   scripts/screenshot.sh --readme
#       The README's pictures, from the demo stand: the connection window, the tables window,
#       a copy in progress (a large table made for the picture and dropped afterwards), and the
#       tables window made 1100x900 with its filters in use (a day's tables made for the picture
#       and dropped afterwards).
set -euo pipefail
cd "$(dirname "$0")/.."

shot() {   # <out.png> <seconds> [what to do once the window is up] [screen] [x y width height]
  local out=$1 wait=$2 act=${3:-} screen=${4:-1024x768} area=${5:-}
  xvfb-run -a -s "-screen 0 ${screen}x24" bash -c "
    build/src/tablewright & program=\$!
    sleep $wait
    $act
    build/tests/screenshot '$out' $area
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
# Window coordinates from the layout (twips, 15 to a pixel): the first item of the Oracle list,
# then "Send Table/s To Sybase iAny".
XDG_STATE_HOME=$config shot "$PWD/docs/copy-in-progress.png" 3 '
  window=$(xdotool search --sync --onlyvisible --name "^Tablewright" | head -1)
  xdotool mousemove --window "$window" 300 40 click 1
  xdotool mousemove --window "$window" 399 194 click 1
  sleep 2'
psql -q -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -c 'DROP TABLE IF EXISTS "BIG"'
sqlite3 "$demo/sqlany.db" 'DROP TABLE IF EXISTS "BIG"'
# The copy, ended by the picture, leaves its staging table, whose record went with $config.
for leftover in $(sqlite3 "$demo/sqlany.db" "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'BIG~tw-stage-%'"); do
  sqlite3 "$demo/sqlany.db" "DROP TABLE \"$leftover\""
done

# The tables window of a day's work: 35 more tables a side, the window made 1100x900, a filter
# typed over each list and two of the shown names selected.
day_tables="ACCOUNTS ADDRESSES AUDIT_TRAIL BANK_TRANSFERS BUDGETS CAMPAIGNS CONTRACTS COST_CENTRES
  CREDIT_NOTES CURRENCIES CUSTOMER_CONTACTS DELIVERY_NOTES DEPARTMENTS_ARCHIVE_2019_TO_2023_QUARTERLY
  EXCHANGE_RATES GENERAL_LEDGER INVENTORY INVOICE_LINES INVOICES JOURNAL_ENTRIES LEDGER_PERIODS
  PAYMENT_TERMS PAYMENTS PRICE_LISTS PRODUCT_GROUPS PURCHASE_ORDER_LINES PURCHASE_ORDERS RETURNS
  SALES_ORDER_LINES SALES_ORDERS SHIPMENTS STOCK_MOVEMENTS SUPPLIERS TAX_CODES TIMESHEETS WAREHOUSES"
make=() drop=()
for table in $day_tables; do
  make+=("CREATE TABLE \"$table\"(id integer, name varchar(40));")
  drop+=("DROP TABLE IF EXISTS \"$table\";")
done
psql -q -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -v ON_ERROR_STOP=1 -c "SET client_min_messages TO warning; ${drop[*]} ${make[*]}"
sqlite3 "$demo/sqlany.db" "${drop[*]} ${make[*]}"
# Window coordinates from the layout: a click in each list and the filter typed into it, which
# opens the list's filter box at the top of its frame; then the second and third names of the
# filtered SQL Anywhere list.
XDG_STATE_HOME=$config shot "$PWD/docs/tables-window-filter.png" 3 '
  window=$(xdotool search --sync --onlyvisible --name "^Tablewright" | head -1)
  xdotool windowmove --sync "$window" 0 0 windowsize --sync "$window" 1100 900
  sleep 1
  xdotool mousemove --window "$window" 100 42 click 1 sleep 0.3 type --delay 50 order
  xdotool mousemove --window "$window" 650 42 click 1 sleep 0.3 type --delay 50 inv
  xdotool mousemove --window "$window" 60 78 click 1 keydown ctrl mousemove --window "$window" 60 92 click 1 keyup ctrl
  sleep 1' 1280x1024 "0 0 1100 900"
psql -q -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -c "${drop[*]}"
sqlite3 "$demo/sqlany.db" "${drop[*]}"
