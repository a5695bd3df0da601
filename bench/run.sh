#!/usr/bin/env bash
# The transfer benchmark: the program's own copy, driven through its tables window, against the
# raw-ODBC floor that sends exactly the same statements. Runs both interleaved on three pairs of
# databases and prints rows per second, their ratio, peak memory and the window's repaints.
#
#   bench/run.sh                 100,000 rows, 3 runs per pair, and the memory runs
#   bench/run.sh --rows N --runs K [--no-memory]
#   bench/run.sh --rows 1000 --runs 1 --check    both copies complete and equal, no figures
#
# Uses the stand named by TW_STAND (source its stand.env first) or starts one of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

rows=100000 runs=3 check=0 memory=1
while [ $# -gt 0 ]; do
  case $1 in
    --rows) rows=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --check) check=1; memory=0; shift ;;
    --no-memory) memory=0; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
bin=${TW_BENCH_BIN:-$root/build/bench}
[ -x "$bin/bench_floor" ] && [ -x "$bin/bench_program" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }

if [ -z "${TW_STAND:-}" ]; then
  stand=$(TW_STAND_OWNER_PID=$$ "$root/tests/stand/start.sh")
  trap '"$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true' EXIT
  # shellcheck disable=SC1091
  source "$stand/stand.env"
fi

login="127.0.0.1,scott,tiger"
oracle="Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=scott;Pwd=tiger;"
stream="Data Source=tw_sqlany_stream"   # the SQLite source, read a step at a time; the bench's own file
fast="Data Source=tw_sqlany_fast"       # the SQLite target, WAL and no syncing
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${stand:-}" ] && "$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true' EXIT

# Six columns: integer, numeric(12,2), text with quotes and non-ASCII, date, timestamp with
# microseconds, and a text that is NULL in one row of five.
make_sqlite_source() {   # <rows>
  local n=$1 table=bench_$1
  if [ "$(sqlite3 "$TW_STAND/bench.db" "SELECT count(*) FROM sqlite_master WHERE name = '$table'")" = 0 ]; then
    sqlite3 "$TW_STAND/bench.db" <<SQL
CREATE TABLE $table(id integer, amount numeric(12,2), label varchar(100), day date, at timestamp, note text);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $n)
INSERT INTO $table SELECT i, round(((i * 37) % 1000000) / 100.0, 2), 'Müller''s "Bücher" №' || i,
  date('2020-01-01', '+' || (i % 3650) || ' days'),
  printf('2024-%02d-%02d %02d:%02d:%02d.%06d', 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i / 60) % 60, (i * 7919) % 1000000),
  CASE WHEN i % 5 = 0 THEN NULL ELSE 'note ' || i END
FROM n;
SQL
  fi
}

make_pg_source() {   # <rows>
  local n=$1 table=bench_$1
  psql -q -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -v ON_ERROR_STOP=1 >/dev/null <<SQL
DO \$\$ BEGIN
  IF NOT EXISTS (SELECT FROM pg_tables WHERE tablename = '$table') THEN
    CREATE TABLE $table(id integer, amount numeric(12,2), label varchar(100), day date, at timestamp, note text);
    INSERT INTO $table SELECT i, round(((i * 37) % 1000000) / 100.0, 2), 'Müller''s "Bücher" №' || i,
      date '2020-01-01' + (i % 3650)::integer,
      make_timestamp(2024, (1 + i % 12)::integer, (1 + i % 28)::integer, (i % 24)::integer, (i % 60)::integer, ((i / 60) % 60) + ((i * 7919) % 1000000) / 1e6),
      CASE WHEN i % 5 = 0 THEN NULL ELSE 'note ' || i END
    FROM generate_series(1::bigint, $n) i;
  END IF;
END \$\$;
SQL
}

# One copy by one side: floor or program. Prints its "rows= seconds= rss_kb= ..." line.
copy() {   # <floor|program> <pair> <table>
  local who=$1 pair=$2 table=$3 target
  case $pair in
    sqlite-sqlite|pg-sqlite) target=$fast ;;
    sqlite-pg) target=$oracle ;;
  esac
  "$bin/bench_floor" drop "$target" "$table"
  case $who/$pair in
    floor/sqlite-sqlite) "$bin/bench_floor" copy "$stream" "$fast" "$table" sqlany ;;
    floor/pg-sqlite) "$bin/bench_floor" copy "$oracle" "$fast" "$table" sqlany ;;
    floor/sqlite-pg) "$bin/bench_floor" copy "$stream" "$oracle" "$table" oracle ;;
    program/sqlite-sqlite) "$bin/bench_program" sqlany-to-sqlany tw_sqlany_fast tw_sqlany_stream "$table" ;;
    program/pg-sqlite) "$bin/bench_program" to-sqlany tw_sqlany_fast "$login" "$table" ;;
    program/sqlite-pg) "$bin/bench_program" to-oracle tw_sqlany_stream "$login" "$table" ;;
  esac
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }   # <name>, reads a result line

pairs=(sqlite-sqlite pg-sqlite sqlite-pg)
make_sqlite_source "$rows"
make_pg_source "$rows"
table=bench_$rows

if [ "$check" = 1 ]; then
  for pair in "${pairs[@]}"; do
    target=$fast; [ "$pair" = sqlite-pg ] && target=$oracle
    copy floor "$pair" "$table" >/dev/null
    "$bin/bench_floor" dump "$target" "$table" > "$work/floor.txt"
    copy program "$pair" "$table" >/dev/null
    "$bin/bench_floor" dump "$target" "$table" > "$work/program.txt"
    "$bin/bench_floor" drop "$target" "$table"
    got=$(wc -l < "$work/program.txt")
    if [ "$got" != "$rows" ] || ! cmp -s "$work/floor.txt" "$work/program.txt"; then
      echo "$pair: the program's copy ($got rows) differs from the floor's" >&2
      diff "$work/floor.txt" "$work/program.txt" | head -5 >&2
      exit 1
    fi
    echo "$pair: $rows rows, the program's copy equals the floor's"
  done
  exit 0
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Rows per second by the clock, and, steadier on a busy machine, by each process's own processor
# time (which leaves out the database server's share on the PostgreSQL pairs).
echo "| pair | rows | floor rows/s | program rows/s | program / floor (median of $runs) | by processor time |"
echo "|---|---:|---:|---:|---:|---:|"
for pair in "${pairs[@]}"; do
  : > "$work/floor" ; : > "$work/program" ; : > "$work/ratio" ; : > "$work/cpu"
  for ((run = 1; run <= runs; run++)); do
    f=$(copy floor "$pair" "$table") p=$(copy program "$pair" "$table")
    fr=$(awk -v r="$(echo "$f" | field rows)" -v s="$(echo "$f" | field seconds)" 'BEGIN { print r / s }')
    pr=$(awk -v r="$(echo "$p" | field rows)" -v s="$(echo "$p" | field seconds)" 'BEGIN { print r / s }')
    echo "$fr" >> "$work/floor"; echo "$pr" >> "$work/program"
    awk -v a="$pr" -v b="$fr" 'BEGIN { print a / b }' >> "$work/ratio"
    awk -v a="$(echo "$f" | field cpu)" -v b="$(echo "$p" | field cpu)" 'BEGIN { print a / b }' >> "$work/cpu"
  done
  printf '| %s | %s | %.0f | %.0f | %.3f | %.3f |\n' "$pair" "$rows" "$(median < "$work/floor")" \
    "$(median < "$work/program")" "$(median < "$work/ratio")" "$(median < "$work/cpu")"
  target=$fast; [ "$pair" = sqlite-pg ] && target=$oracle
  "$bin/bench_floor" drop "$target" "$table"
done

if [ "$memory" = 1 ]; then
  big=$((rows * 10))
  make_sqlite_source "$big"
  echo
  echo "| peak memory, sqlite-sqlite (source read a step at a time) | $rows rows | $big rows | ratio |"
  echo "|---|---:|---:|---:|"
  for who in floor program; do
    small=$(copy "$who" sqlite-sqlite "bench_$rows")
    large=$(copy "$who" sqlite-sqlite "bench_$big")
    s=$(echo "$small" | field rss_kb) l=$(echo "$large" | field rss_kb)
    printf '| %s | %s KiB | %s KiB | %.2f |\n' "$who" "$s" "$l" "$(awk -v a="$l" -v b="$s" 'BEGIN { print a / b }')"
    if [ "$who" = program ]; then
      repaints=$(awk -v n="$(echo "$large" | field repaints)" -v s="$(echo "$large" | field seconds)" 'BEGIN { printf "%.1f", n / s }')
    fi
  done
  "$bin/bench_floor" drop "$fast" "bench_$big"
  "$bin/bench_floor" drop "$fast" "bench_$rows"
  echo
  echo "Window repaints during the $big-row copy: $repaints per second."
fi
echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1), $(date -u +%Y-%m-%d)"
