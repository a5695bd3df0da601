#!/usr/bin/env bash
# Build a fresh, throw-away database stand for the tests and print its
# directory (the only line on stdout).  Source <dir>/stand.env to use it and
# run stop.sh <dir> when done.
#
# The stand belongs to the process in $TW_STAND_OWNER_PID (default: the
# calling process).  Stands whose owner has died are removed by the next start.
set -euo pipefail

TW_LOG_TAG='stand-start'
# shellcheck source-path=SCRIPTDIR source=stand-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/stand-lib.sh"

(( $# == 0 )) || tw_die "usage: $0   (no arguments)"

# odbc.ini holds passwords and the databases hold whatever the tests write: owner only. Only
# the test process reads them; the servers reach nothing but their own pg/ and maria/ folders.
umask 077

owner=${TW_STAND_OWNER_PID:-$(tw_caller_pid "$PPID")}
[[ $owner =~ ^[0-9]+$ ]] || tw_die "TW_STAND_OWNER_PID is not a process id: $owner"

for tool in sqlite3 psql mariadb mariadb-install-db; do
    command -v "$tool" >/dev/null || tw_die "$tool not found"
done
tw_pg_bindir >/dev/null
tw_mariadbd >/dev/null

tw_reap_stale_stands

stand=$(mktemp -d /tmp/tablewright-stand.XXXXXX)
tw_write_owner "$stand" "$owner"
# If anything below fails, take down what was built so far.
maria_init=
trap 'rc=$?; if (( rc != 0 )); then
          [[ -z $maria_init ]] || kill "$maria_init" 2>/dev/null || true
          tw_stand_remove "$stand"
      fi' EXIT
trap 'exit 130' INT TERM HUP
chmod 711 "$stand"   # the postgres and mysql accounts must reach pg/ and maria/ inside

# MariaDB makes its system tables while PostgreSQL makes its cluster: each mostly waits.
tw_maria_init "$stand" &
maria_init=$!
tw_pg_init "$stand"
port=$(tw_pg_start "$stand")
printf '%s\n' "$port" > "$stand/port"
tw_pg_setup_scott "$stand" "$port"
tw_pg_add_login "$stand" "$port" tw_semicolon 'ti;ger}x'
tw_pg_add_login "$stand" "$port" tw_brace '{tiger'
tw_pg_add_login "$stand" "$port" tw_blanks ' tiger '
# Unbraced, psqlODBC reads "+" and "%41" as URL escapes.
tw_pg_add_login "$stand" "$port" tw_urlish 'a+b%41 c'
# libpq's own text would need a quote and a backslash escaped.
tw_pg_add_login "$stand" "$port" tw_quoted "it's a\\b =c"
# Oracle-side users of their own, for tests that need to know every table there is.
tw_pg_setup_oracle_user "$stand" "$port" tw_catalogue tiger
tw_pg_setup_oracle_user "$stand" "$port" tw_empty tiger

wait "$maria_init"
maria_init=
maria_port=$(tw_maria_start "$stand")
tw_maria_setup "$stand"
tw_maria_add_login "$stand" tw_semicolon 'ti;ger}x'
tw_maria_add_login "$stand" tw_brace '{tiger'
tw_maria_add_login "$stand" tw_urlish 'a+b%41 c'
tw_maria_write_client "$stand"

tw_write_odbcinst "$stand" --with-mariadb
for db in sqlany sqlany2 large replace truncate busy parallel fast durable bench; do
    tw_sqlite_create "$stand/$db.db"
done

cat > "$stand/odbc.ini" <<EOF
[tw_sqlany]
Description=SQL Anywhere side
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/sqlany.db
Timeout=10000

[tw_sqlany2]
Description=Second, independent SQL Anywhere side
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/sqlany2.db
Timeout=10000

[tw_sqlany_large]
Description=SQL Anywhere side for values of tens of megabytes and wide tables, whose free pages nobody else meets
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/large.db
Timeout=10000

[tw_sqlany_replace]
Description=SQL Anywhere side for replaces of many rows, whose free pages nobody else meets
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/replace.db
Timeout=10000

[tw_sqlany_truncate]
Description=SQL Anywhere side for truncates of many rows, apart from the replaces that run at the same time
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/truncate.db
Timeout=10000

[tw_sqlany_busy]
Description=SQL Anywhere side whose write lock a test holds while the program writes: the program waits a tenth of a second for it
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/busy.db
Timeout=100

[tw_sqlany_parallel]
Description=SQL Anywhere side for copies of many tables at once, whose free pages nobody else meets
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/parallel.db
# Tests on it fill and copy large tables at the same time: a writer may wait its turn long.
Timeout=120000

[tw_sqlany_stream]
Description=The benchmark's source tables, rows fetched one step at a time
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/bench.db
StepAPI=1
Timeout=10000

[tw_sqlany_fast]
Description=SQL Anywhere side tuned for bulk loads
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/fast.db
JournalMode=WAL
SyncPragma=OFF
Timeout=10000

[tw_sqlany_durable]
Description=The benchmark's target with SQLite's default durability: every commit waits for the disk
Driver=$TW_SQLITE_DRIVER_NAME
Database=$stand/durable.db
Timeout=10000

[tw_pg]
Description=SQL Anywhere side with several schemas (PostgreSQL)
Driver=$TW_ORACLE_DRIVER_NAME
Servername=127.0.0.1
Port=$port
Database=$TW_ORA_USER
Username=$TW_ORA_USER
Password=$TW_ORA_PASSWORD
UseDeclareFetch=1
Fetch=1000

$(tw_maria_odbc_section tw_maria "$maria_port" scott)

$(tw_maria_odbc_section tw_maria2 "$maria_port" scott2)
EOF

tw_write_env "$stand" "$port" \
    "export TW_MARIA_PORT=$maria_port" \
    "export TW_MARIA_SOCKET=$(printf %q "$stand/maria/mariadbd.sock")" \
    "export TW_MARIA_CLIENT=$(printf %q "$stand/mariadb")"

tw_log "stand ready in $stand (PostgreSQL on 127.0.0.1:$port, MariaDB on 127.0.0.1:$maria_port)"
printf '%s\n' "$stand"
