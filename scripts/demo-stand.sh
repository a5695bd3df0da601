#!/usr/bin/env bash
# The demo database stand: a PostgreSQL cluster standing in for Oracle and a
# SQLite database behind the data source tw_demo_sqlany, with a few sample
# tables on each side.  Kept in a per-user folder and reused between runs:
# the first run builds and seeds it, later runs only start the server if
# needed.  Prints the folder (the only line on stdout); source
# <folder>/stand.env before starting the program.
#
#   scripts/demo-stand.sh          make or start the demo stand
#   scripts/demo-stand.sh stop     stop its database server (the data stays)
#   scripts/demo-stand.sh remove   stop it and delete the folder with everything in it
#
# Folder: $TABLEWRIGHT_DEMO_DIR, else ${XDG_DATA_HOME:-~/.local/share}/tablewright-demo,
# or /var/tmp/tablewright-demo-root for root (whose home the postgres
# account cannot enter).
set -euo pipefail

TW_LOG_TAG='demo-stand'
# shellcheck source-path=SCRIPTDIR source=../tests/stand/stand-lib.sh
. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/../tests/stand/stand-lib.sh"

action=${1:-start}
[[ $# -le 1 && $action =~ ^(start|stop|remove)$ ]] || tw_die "usage: $0 [stop|remove]"

if [[ -n ${TABLEWRIGHT_DEMO_DIR:-} ]]; then
    demo=$TABLEWRIGHT_DEMO_DIR
elif (( EUID == 0 )); then
    demo=/var/tmp/tablewright-demo-root
else
    demo=${XDG_DATA_HOME:-$HOME/.local/share}/tablewright-demo
fi

for tool in sqlite3 psql; do
    command -v "$tool" >/dev/null || tw_die "$tool not found"
done

if [[ $action != start ]]; then
    if [[ ! -d $demo ]]; then
        tw_log "no demo stand in $demo"
        exit 0
    fi
    [[ -f $demo/pg/data/PG_VERSION ]] && tw_pg_stop "$demo"
    tw_log "demo database server stopped"
    if [[ $action == remove ]]; then
        rm -rf "$demo"
        tw_log "demo stand removed: $demo"
    fi
    exit 0
fi

mkdir -p "$demo"
demo=$(cd "$demo" && pwd -P)
if (( EUID == 0 )); then
    chmod 711 "$demo"
    runuser -u postgres -- test -x "$demo" \
        || tw_die "the postgres account cannot reach $demo; choose another TABLEWRIGHT_DEMO_DIR"
else
    chmod 700 "$demo"
fi

# One run at a time per folder.
exec 9>"$demo/.lock"
flock -w 120 9 || tw_die "another run holds $demo/.lock"

# The cluster.  The marker is written only once initdb has finished, so a
# run interrupted half-way starts over cleanly next time.
if [[ ! -f $demo/pg/.initialized ]]; then
    tw_log "creating the demo cluster in $demo"
    tw_pg_stop "$demo"
    rm -rf "$demo/pg"
    tw_pg_init "$demo"
    touch "$demo/pg/.initialized"
fi

if tw_pg_running "$demo"; then
    # Line 4 of postmaster.pid is the port the running server listens on.
    port=$(sed -n 4p "$demo/pg/data/postmaster.pid")
else
    stored=$(cat "$demo/port" 2>/dev/null || true)
    [[ $stored =~ ^[0-9]+$ ]] || stored=
    port=$(tw_pg_start "$demo" "$stored")
    [[ $port == "$stored" ]] || tw_log "PostgreSQL now listens on port $port"
fi
printf '%s\n' "$port" > "$demo/port"

tw_pg_setup_scott "$demo" "$port"

# ODBC set-up and environment, rewritten every time so they follow the port
# and the installed driver paths.
tw_write_odbcinst "$demo"
tw_sqlite_create "$demo/sqlany.db"
cat > "$demo/odbc.ini.tmp" <<EOF
[tw_demo_sqlany]
Description=Demo SQL Anywhere side
Driver=$TW_SQLITE_DRIVER_NAME
Database=$demo/sqlany.db
StepAPI=1
JournalMode=WAL
SyncPragma=NORMAL
Timeout=10000
EOF
mv -f "$demo/odbc.ini.tmp" "$demo/odbc.ini"
tw_write_env "$demo" "$port" "export XDG_CONFIG_HOME=$(printf %q "$demo/config")" \
    "export XDG_STATE_HOME=$(printf %q "$demo/state")"

# Sample data and the program's settings, on first creation only.
if [[ ! -f $demo/.seeded ]]; then
    tw_log "seeding sample tables"
    tw_psql "$demo" "$port" -U "$TW_ORA_USER" -d "$TW_ORA_USER" >/dev/null <<'SQL'
begin;
drop table if exists "EMP", "DEPT", "BONUS";
create table "DEPT" (
    DEPTNO numeric(2) primary key,
    DNAME  varchar(14),
    LOC    varchar(13)
);
insert into "DEPT" values
    (10, 'ACCOUNTING', 'NEW YORK'),
    (20, 'RESEARCH',   'DALLAS'),
    (30, 'SALES',      'CHICAGO'),
    (40, 'OPERATIONS', 'BOSTON');
create table "EMP" (
    EMPNO    numeric(4) primary key,
    ENAME    varchar(10),
    JOB      varchar(9),
    HIREDATE date,
    SAL      numeric(7,2),
    COMM     numeric(7,2),
    DEPTNO   numeric(2)
);
insert into "EMP" values
    (7369, 'SMITH', 'CLERK',     '1980-12-17',  800.00, null,   20),
    (7499, 'ALLEN', 'SALESMAN',  '1981-02-20', 1600.00, 300.00, 30),
    (7521, 'WARD',  'SALESMAN',  '1981-02-22', 1250.00, 500.00, 30),
    (7566, 'JONES', 'MANAGER',   '1981-04-02', 2975.00, null,   20),
    (7698, 'BLAKE', 'MANAGER',   '1981-05-01', 2850.00, null,   30),
    (7839, 'KING',  'PRESIDENT', '1981-11-17', 5000.00, null,   10);
-- left empty on purpose
create table "BONUS" (
    ENAME varchar(10),
    JOB   varchar(9),
    SAL   numeric,
    COMM  numeric
);
commit;
SQL
    sqlite3 -bail "$demo/sqlany.db" <<'SQL' || tw_die "seeding $demo/sqlany.db failed"
begin;
drop table if exists "Orders";
drop table if exists "Products";
drop table if exists "Customers";
create table "Customers" (id integer primary key, name varchar(40), city varchar(30));
insert into "Customers" values
    (1, 'Müller GmbH',    'München'),
    (2, 'O''Brien & Sons', 'Dublin'),
    (3, 'Acme Corp',      'Springfield'),
    (4, 'Åsa Ström',      'Göteborg');
create table "Products" (id integer primary key, title varchar(60), price numeric(10,2));
insert into "Products" values
    (1, 'Widget',      9.99),
    (2, 'Gadget',      24.50),
    (3, 'Doohickey',   0.75),
    (4, 'Thingamajig', 120.00);
create table "Orders" (id integer primary key, customer_id integer, ordered_at timestamp, note text);
insert into "Orders" values
    (1, 1, '2024-01-15 09:30:00', 'Express delivery'),
    (2, 2, '2024-02-01 14:05:00', null),
    (3, 1, '2024-03-10 11:00:00', 'Bitte nicht knicken'),
    (4, 3, '2024-03-11 16:45:30', null);
commit;
SQL

    install -d -m 700 "$demo/config"
    if [[ ! -e $demo/config/Quillmark.ini ]]; then
        (
            umask 077
            cat > "$demo/config/Quillmark.ini" <<EOF
[Tablewright]
OracleServer=127.0.0.1
OracleUser=$TW_ORA_USER
OraclePassword=$TW_ORA_PASSWORD
DataSourceName=tw_demo_sqlany
EOF
        )
        chmod 600 "$demo/config/Quillmark.ini"
    fi
    touch "$demo/.seeded"
fi

tw_log "demo stand ready in $demo (PostgreSQL on 127.0.0.1:$port)"
printf '%s\n' "$demo"
