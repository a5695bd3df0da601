#!/usr/bin/env bash
# The transfer benchmark: the program's own copy, driven through its tables window, against the
# raw-ODBC floor that sends exactly the same statements; and its batched copy (BatchRows=1000 in
# the settings) against the raw-ODBC ceiling that binds the same rows as 1,000-row arrays. Runs
# each pair of contenders interleaved and prints rows per second, their ratio, peak memory and
# the window's repaints. Then the faithful copy (FaithfulTables=1, batched) against the plain
# batched copy.
#
#   bench/run.sh                 100,000 rows, 3 runs per pair, and the memory runs
#   bench/run.sh --rows N --runs K [--no-memory]
#   bench/run.sh --rows 1000 --runs 1 --check    both copies complete and equal, no figures
#   bench/run.sh --faithful-only                 the faithful copy against the plain batched one
#
# Uses the stand named by TW_STAND (source its stand.env first) or starts one of its own, whose
# PostgreSQL then keeps fsync on, so that its commits wait for the disk as a server's do.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

rows=100000 runs=3 check=0 memory=1 faithfulOnly=0
while [ $# -gt 0 ]; do
  case $1 in
    --rows) rows=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --check) check=1; memory=0; shift ;;
    --no-memory) memory=0; shift ;;
    --faithful-only) faithfulOnly=1; memory=0; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
bin=${TW_BENCH_BIN:-$root/build/bench}
[ -x "$bin/bench_floor" ] && [ -x "$bin/bench_program" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }

if [ -z "${TW_STAND:-}" ]; then
  stand=$(TW_STAND_OWNER_PID=$$ TW_STAND_PG_FSYNC=on "$root/tests/stand/start.sh")
  trap '"$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true' EXIT
  # shellcheck disable=SC1091
  source "$stand/stand.env"
fi

login="127.0.0.1,scott,tiger"
oracle="Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=scott;Pwd=tiger;"
stream="Data Source=tw_sqlany_stream"   # the SQLite source, read a step at a time; the bench's own file
fast="Data Source=tw_sqlany_fast"       # the SQLite target, WAL and no syncing
durable="Data Source=tw_sqlany_durable" # the SQLite target with its default durability
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

target_of() {   # <pair>: the connection the pair copies into
  case $1 in
    sqlite-sqlite|pg-sqlite) echo "$fast" ;;
    pg-sqlite-durable) echo "$durable" ;;
    sqlite-pg) echo "$oracle" ;;
  esac
}

# One copy by one contender: floor or program (row by row), ceiling or batched (1,000-row
# batches), faithful (batched, with the source's column types). Prints its "rows= seconds=
# rss_kb= ..." line.
copy() {   # <floor|program|ceiling|batched|faithful> <pair> <table>
  local who=$1 pair=$2 table=$3 target source dsn raw=copy batch= faithful=
  target=$(target_of "$pair")
  "$bin/bench_floor" drop "$target" "$table"
  case $pair in
    sqlite-*) source=$stream ;;
    *) source=$oracle ;;
  esac
  dsn=${target#Data Source=}
  case $who in
    ceiling) raw=batch ;;
    batched) batch=1000 ;;
    faithful) batch=1000 faithful=1 ;;
  esac
  case $who/$pair in
    floor/sqlite-pg|ceiling/sqlite-pg) "$bin/bench_floor" $raw "$source" "$target" "$table" oracle ;;
    floor/*|ceiling/*) "$bin/bench_floor" $raw "$source" "$target" "$table" sqlany ;;
    */sqlite-sqlite) TW_BENCH_BATCH_ROWS=$batch TW_BENCH_FAITHFUL=$faithful "$bin/bench_program" sqlany-to-sqlany "$dsn" tw_sqlany_stream "$table" ;;
    */sqlite-pg) TW_BENCH_BATCH_ROWS=$batch TW_BENCH_FAITHFUL=$faithful "$bin/bench_program" to-oracle tw_sqlany_stream "$login" "$table" ;;
    */pg-sqlite*) TW_BENCH_BATCH_ROWS=$batch TW_BENCH_FAITHFUL=$faithful "$bin/bench_program" to-sqlany "$dsn" "$login" "$table" ;;
  esac
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }   # <name>, reads a result line

pairs=(sqlite-sqlite pg-sqlite sqlite-pg)
declare -A repaints
make_sqlite_source "$rows"
make_pg_source "$rows"
table=bench_$rows

if [ "$check" = 1 ]; then
  for pair in "${pairs[@]}"; do
    target=$(target_of "$pair")
    copy floor "$pair" "$table" >/dev/null
    "$bin/bench_floor" dump "$target" "$table" > "$work/floor.txt"
    for who in program ceiling batched; do
      copy "$who" "$pair" "$table" >/dev/null
      "$bin/bench_floor" dump "$target" "$table" > "$work/$who.txt"
      got=$(wc -l < "$work/$who.txt")
      if [ "$got" != "$rows" ] || ! cmp -s "$work/floor.txt" "$work/$who.txt"; then
        echo "$pair: the $who copy ($got rows) differs from the floor's" >&2
        diff "$work/floor.txt" "$work/$who.txt" | head -5 >&2
        exit 1
      fi
    done
    "$bin/bench_floor" drop "$target" "$table"
    echo "$pair: $rows rows, the program's, the ceiling's and the batched copies equal the floor's"
  done
  exit 0
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Rows per second by the clock, and, steadier on a busy machine, by each process's own processor
# time (which leaves out the database server's share on the PostgreSQL pairs).
# One table of figures: the second contender against the first, interleaved, on each pair.
compare() {   # <reference> <contender> <pair>...
  local reference=$1 contender=$2
  shift 2
  echo "| pair | rows | $reference rows/s | $contender rows/s | $contender / $reference (median of $runs) | by processor time |"
  echo "|---|---:|---:|---:|---:|---:|"
  for pair in "$@"; do
    make_pg_source "$rows"   # the sqlite-pg pair writes over the PostgreSQL source table
    : > "$work/reference" ; : > "$work/contender" ; : > "$work/ratio" ; : > "$work/cpu"
    for ((run = 1; run <= runs; run++)); do
      f=$(copy "$reference" "$pair" "$table") p=$(copy "$contender" "$pair" "$table")
      fr=$(awk -v r="$(echo "$f" | field rows)" -v s="$(echo "$f" | field seconds)" 'BEGIN { print r / s }')
      pr=$(awk -v r="$(echo "$p" | field rows)" -v s="$(echo "$p" | field seconds)" 'BEGIN { print r / s }')
      echo "$fr" >> "$work/reference"; echo "$pr" >> "$work/contender"
      awk -v a="$pr" -v b="$fr" 'BEGIN { print a / b }' >> "$work/ratio"
      awk -v a="$(echo "$f" | field cpu)" -v b="$(echo "$p" | field cpu)" 'BEGIN { print a / b }' >> "$work/cpu"
    done
    printf '| %s | %s | %.0f | %.0f | %.3f | %.3f |\n' "$pair" "$rows" "$(median < "$work/reference")" \
      "$(median < "$work/contender")" "$(median < "$work/ratio")" "$(median < "$work/cpu")"
    "$bin/bench_floor" drop "$(target_of "$pair")" "$table"
  done
}

if [ "$faithfulOnly" = 0 ]; then
  compare floor program "${pairs[@]}"
  echo
  compare ceiling batched "${pairs[@]}" pg-sqlite-durable
  echo
fi
compare batched faithful "${pairs[@]}"
echo
echo "PostgreSQL: fsync $(psql -tA -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -c 'SHOW fsync'), synchronous_commit $(psql -tA -h "$PGHOST_SOCKET" -p "$PGPORT" -U scott -d scott -c 'SHOW synchronous_commit')."

if [ "$memory" = 1 ]; then
  big=$((rows * 10))
  make_sqlite_source "$big"
  echo
  echo "| peak memory, sqlite-sqlite (source read a step at a time) | $rows rows | $big rows | ratio |"
  echo "|---|---:|---:|---:|"
  for who in floor program batched; do
    small=$(copy "$who" sqlite-sqlite "bench_$rows")
    large=$(copy "$who" sqlite-sqlite "bench_$big")
    s=$(echo "$small" | field rss_kb) l=$(echo "$large" | field rss_kb)
    printf '| %s | %s KiB | %s KiB | %.2f |\n' "$who" "$s" "$l" "$(awk -v a="$l" -v b="$s" 'BEGIN { print a / b }')"
    if [ "$who" != floor ]; then
      repaints[$who]=$(awk -v n="$(echo "$large" | field repaints)" -v s="$(echo "$large" | field seconds)" 'BEGIN { printf "%.1f", n / s }')
    fi
  done
  "$bin/bench_floor" drop "$fast" "bench_$big"
  "$bin/bench_floor" drop "$fast" "bench_$rows"
  echo
  echo "Window repaints during the $big-row copy: ${repaints[program]} per second row by row, ${repaints[batched]} batched."
fi
echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1), $(date -u +%Y-%m-%d)"
