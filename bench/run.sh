#!/usr/bin/env bash
# The transfer benchmark: the program's own copy, driven through its tables window, against the
# raw-ODBC floor that sends exactly the same statements; and its batched copy (BatchRows=1000 in
# the settings) against the raw-ODBC ceiling that binds the same rows as 1,000-row arrays. Runs
# each pair of contenders interleaved and prints rows per second, their ratio, peak memory and
# the window's repaints. Then the faithful copy (FaithfulTables=1, batched) against the plain
# batched copy. Then the command line copying four tables into the Oracle side one at a time
# (--jobs 1) against two at a time (--jobs 2), and the batched copy against its ceiling again on
# a table three times as long (it reads the next batch while the target writes the one before).
# Then the same command line with --jobs 1, 2 and 4 directly and through a proxy that delays every
# chunk of bytes to and from PostgreSQL, as a network does; and, on one typed table three times as
# long, the program's faithful copy against pgloader and against SQLite's CSV output piped into
# psql's \copy, again directly and through the proxy.
#
#   bench/run.sh                 100,000 rows, 3 runs per pair, and the memory runs
#   bench/run.sh --rows N --runs K [--no-memory]
#   bench/run.sh --rows 1000 --runs 1 --check    every copy complete and equal, no figures
#   bench/run.sh --faithful-only                 the faithful copy against the plain batched one
#   bench/run.sh --parallel-only                 --jobs 2 against --jobs 1, and the long batched copy
#   bench/run.sh --network-only [--delay-ms D]   --jobs 1, 2 and 4, and the program against pgloader
#                                                and psql's \copy, directly and through the proxy
#                                                (D ms each way, default 0.5: a 1 ms round trip)
#
# The benchmark programs come from TW_BENCH_BIN (default build/bench), the program itself from
# TW_BENCH_PROGRAM (default the tablewright of the same build tree).
#
# Uses the stand named by TW_STAND (source its stand.env first) or starts one of its own, whose
# PostgreSQL then keeps fsync on, so that its commits wait for the disk as a server's do.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

rows=100000 runs=3 check=0 memory=1 only= delay=0.5
while [ $# -gt 0 ]; do
  case $1 in
    --rows) rows=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --check) check=1; memory=0; shift ;;
    --no-memory) memory=0; shift ;;
    --faithful-only) only+=" faithful"; memory=0; shift ;;
    --parallel-only) only+=" parallel"; memory=0; shift ;;
    --network-only) only+=" network"; memory=0; shift ;;
    --delay-ms) delay=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
wanted() { [ -z "$only" ] || [[ " $only " == *" $1 "* ]]; }   # <part>: asked for, or nothing named
bin=${TW_BENCH_BIN:-$root/build/bench}
program=${TW_BENCH_PROGRAM:-$(dirname "$bin")/src/tablewright}
[ -x "$bin/bench_floor" ] && [ -x "$bin/bench_program" ] && [ -x "$bin/bench_delay_proxy" ] && [ -x "$program" ] ||
  { echo "build first: scripts/build.sh" >&2; exit 2; }
# The network part's peer; the check copies without it where it is missing.
if wanted network && [ "$check" = 0 ] && ! command -v pgloader >/dev/null; then
  echo "pgloader is not installed: scripts/install-deps.sh --bench" >&2
  exit 2
fi

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
proxy_pid=
cleanup() {
  if [ -n "$proxy_pid" ]; then kill "$proxy_pid" 2>/dev/null || true; wait "$proxy_pid" 2>/dev/null || true; fi
  rm -rf "$work"
  if [ -n "${stand:-}" ]; then "$root/tests/stand/stop.sh" "$stand" >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
pg_port=$PGPORT   # the port the Oracle side's driver reaches PostgreSQL on (psqlODBC reads PGPORT)

# Six columns: integer, numeric(12,2), text with quotes and non-ASCII, date, timestamp with
# microseconds, and a text that is NULL in one row of five.
make_sqlite_source() {   # <rows> [table]
  local n=$1 table=${2:-bench_$1}
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
  local who=$1 pair=$2 table=$3 target source dsn raw=copy batch=0 faithful=
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

# The four source tables of the command line's copy, each like bench_<rows>.
jobs_tables() {   # <rows>
  local i
  for i in 1 2 3 4; do echo "bench_$1_$i"; done
}

# Processor ticks of the whole machine so far, busy and in all ("busy total").
ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9, $2 + $3 + $4 + $5 + $6 + $7 + $8 + $9 }' /proc/stat; }

# One run of the built program copying the tables from the SQLite source into the Oracle side
# with --jobs N (--plain, or the copy named by $cli_mode), reaching PostgreSQL on $pg_port, after
# dropping them there, as a user starts it: a settings folder and a log of
# its own, the stand's values given as options and the password through the environment. Prints
# "rows= seconds= cores=": every table's rows written, the run's wall-clock time from start to
# exit (connecting and listing included), and the processors the whole machine kept busy
# meanwhile, the database server included.
cli_copy() {   # <jobs> <table>...
  local jobs=$1 table before after start end
  shift
  for table in "$@"; do "$bin/bench_floor" drop "$oracle" "$table"; done
  before=$(ticks) start=$(date +%s.%N)
  if ! PGPORT=$pg_port TW_BENCH_PASSWORD=tiger XDG_CONFIG_HOME="$work/home/config" XDG_STATE_HOME="$work/home/state" \
      "$program" copy --to oracle "${cli_mode:---plain}" --jobs "$jobs" --batch 1000 --overwrite yes --json \
      --sid 127.0.0.1 --user scott --dsn tw_sqlany_stream --password-env TW_BENCH_PASSWORD "$@" \
      > "$work/cli.json" 2> "$work/cli.err"; then
    echo "the command line's copy with --jobs $jobs failed:" >&2
    cat "$work/cli.err" "$work/cli.json" >&2
    return 1
  fi
  end=$(date +%s.%N) after=$(ticks)
  # Every table copied, with no row failed, or no figure.
  if [ "$(grep -c '"status": "copied"' "$work/cli.json")" != $# ] || grep -q '"rowsFailed": [1-9]' "$work/cli.json"; then
    echo "the command line's copy with --jobs $jobs did not copy every row:" >&2
    cat "$work/cli.json" >&2
    return 1
  fi
  awk -v start="$start" -v end="$end" -v before="$before" -v after="$after" -v cores="$(nproc)" '
    /"totals"/ { totals = 1 }   # the tables rows once, not again with their totals
    /"rowsWritten"/ && !totals { gsub(/[^0-9]/, ""); rows += $0 }
    END { split(before, b, " "); split(after, a, " ")
          printf "rows=%d seconds=%.6f cores=%.2f\n", rows, end - start, (a[1] - b[1]) / (a[2] - b[2]) * cores }' "$work/cli.json"
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }   # <name>, reads a result line
thousands() { sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'; }   # 100000 -> 100,000
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# shellcheck source=network.sh
source "$root/bench/network.sh"

pairs=(sqlite-sqlite pg-sqlite sqlite-pg)
declare -A repaints
make_sqlite_source "$rows"
make_pg_source "$rows"
table=bench_$rows
typed_rows=$((check ? rows : rows * 3)) typed=bench_typed_$((check ? rows : rows * 3))
if wanted network || [ "$check" = 1 ]; then make_sqlite_source "$typed_rows" "$typed"; fi
mapfile -t jobsTables < <(jobs_tables "$rows")
for jobsTable in "${jobsTables[@]}"; do make_sqlite_source "$rows" "$jobsTable"; done
start_proxy

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
  # The command line's two-job copy, directly and through the delay proxy: each of the four
  # tables as the floor copies bench_<rows>.
  copy floor sqlite-pg "$table" >/dev/null
  "$bin/bench_floor" dump "$oracle" "$table" > "$work/floor.txt"
  "$bin/bench_floor" drop "$oracle" "$table"
  for via in direct proxy; do
    pg_port=$(port_of "$via") cli_copy 2 "${jobsTables[@]}" >/dev/null
    for jobsTable in "${jobsTables[@]}"; do
      "$bin/bench_floor" dump "$oracle" "$jobsTable" > "$work/jobs.txt"
      "$bin/bench_floor" drop "$oracle" "$jobsTable"
      if ! cmp -s "$work/floor.txt" "$work/jobs.txt"; then
        echo "$jobsTable: the command line's copy with --jobs 2 ($via, $(wc -l < "$work/jobs.txt") rows) differs from the floor's" >&2
        diff "$work/floor.txt" "$work/jobs.txt" | head -5 >&2
        exit 1
      fi
    done
    echo "sqlite-pg ($via): ${#jobsTables[@]} tables of $rows rows, the command line's copy with --jobs 2 equals the floor's"
  done
  # The contenders through the proxy, each copy complete; pgloader only where it is installed.
  command -v pgloader >/dev/null || contenders=(program psql-copy)
  for who in "${contenders[@]}"; do
    pg_port=$proxy_port contender_copy "$who" >/dev/null
    echo "sqlite-pg (proxy): the typed table of $typed_rows rows, $who's copy complete"
  done
  "$bin/bench_floor" drop "$oracle" "$typed"
  exit 0
fi


# Rows per second by the clock, and, steadier on a busy machine, by each process's own processor
# time (which leaves out the database server's share on the PostgreSQL pairs).
# One table of figures: the second contender against the first, interleaved, on each pair.
compare() {   # <reference> <contender> <pair>...; on $rows rows, table $table
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

# The command line's copy of the four tables with --jobs 1 against --jobs 2, interleaved.
compare_jobs() {
  local one two r1 r2
  echo "| tables | rows each | --jobs 1 rows/s | --jobs 2 rows/s | jobs 2 / jobs 1 (median of $runs) | cores busy, jobs 1 | cores busy, jobs 2 |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  : > "$work/reference" ; : > "$work/contender" ; : > "$work/ratio" ; : > "$work/cores1" ; : > "$work/cores2"
  for ((run = 1; run <= runs; run++)); do
    one=$(cli_copy 1 "${jobsTables[@]}")
    two=$(cli_copy 2 "${jobsTables[@]}")
    r1=$(awk -v r="$(echo "$one" | field rows)" -v s="$(echo "$one" | field seconds)" 'BEGIN { print r / s }')
    r2=$(awk -v r="$(echo "$two" | field rows)" -v s="$(echo "$two" | field seconds)" 'BEGIN { print r / s }')
    echo "$r1" >> "$work/reference"; echo "$r2" >> "$work/contender"
    awk -v a="$r2" -v b="$r1" 'BEGIN { print a / b }' >> "$work/ratio"
    echo "$one" | field cores >> "$work/cores1"; echo "$two" | field cores >> "$work/cores2"
  done
  printf '| %s | %s | %.0f | %.0f | %.3f | %.2f | %.2f |\n' "${#jobsTables[@]}" "$rows" "$(median < "$work/reference")" \
    "$(median < "$work/contender")" "$(median < "$work/ratio")" "$(median < "$work/cores1")" "$(median < "$work/cores2")"
  for jobsTable in "${jobsTables[@]}"; do "$bin/bench_floor" drop "$oracle" "$jobsTable"; done
}

if [ -z "$only" ]; then
  compare floor program "${pairs[@]}"
  echo
  compare ceiling batched "${pairs[@]}" pg-sqlite-durable
  echo
fi
if wanted faithful; then
  compare batched faithful "${pairs[@]}"
  echo
fi
if wanted parallel; then
  echo "Four tables of $(echo "$rows" | thousands) rows into the Oracle side (PostgreSQL), the command line's copy:"
  echo
  compare_jobs
  echo
  long=$((rows * 3))
  make_sqlite_source "$long"
  make_pg_source "$long"
  echo "One table of $(echo "$long" | thousands) rows, batched:"
  echo
  rows=$long table=bench_$long compare ceiling batched "${pairs[@]}"
  echo
fi
if wanted network; then
  echo "Four tables of $(echo "$rows" | thousands) rows into the Oracle side (PostgreSQL), the command line's copy with --plain, directly and through the delay proxy:"
  echo
  compare_network_jobs
  echo
  echo "One typed table of $(echo "$typed_rows" | thousands) rows from the SQLite source into PostgreSQL: the program's copy --faithful --batch 1000, pgloader, and SQLite's CSV output into psql's \\copy:"
  echo
  compare_contenders
  echo
fi
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
