# shellcheck shell=bash
# Shared helpers for the database test stand.  Source this file; it defines
# functions only and changes no shell options of its caller.
#
# A stand is a directory holding
#   pg/data         a private PostgreSQL cluster (the "Oracle" side)
#   pg/             its Unix socket directory, pg/log its server log
#   port            the TCP port the cluster listens on (127.0.0.1 only)
#   odbcinst.ini    driver registrations (ODBCSYSINI points at the directory)
#   odbc.ini        data sources (ODBCINI points at it)
#   stand.env       export lines for all of the above
#   *.db            SQLite databases behind the "SQL Anywhere" data sources
#   maria/          a private MariaDB server (see mariadb-lib.sh)
#
# Everything here logs to stderr; stdout is left to the calling script.

# Name the Oracle-side driver is registered under; the program builds its
# connection string with exactly this name.
TW_ORACLE_DRIVER_NAME='Microsoft ODBC for Oracle'
TW_SQLITE_DRIVER_NAME='SQLite3'

# Login the program uses on the Oracle side.
TW_ORA_USER=scott
TW_ORA_PASSWORD=tiger

tw_log() { printf '%s: %s\n' "${TW_LOG_TAG:-stand}" "$*" >&2; }
tw_die() { printf '%s: error: %s\n' "${TW_LOG_TAG:-stand}" "$*" >&2; exit 1; }

# Directory of the PostgreSQL server binaries: $TW_PG_BINDIR, else the newest
# /usr/lib/postgresql/<version>/bin, else whatever pg_config reports.
tw_pg_bindir() {
    if [[ -n ${TW_PG_BINDIR:-} ]]; then
        [[ -x $TW_PG_BINDIR/pg_ctl ]] || tw_die "no pg_ctl in TW_PG_BINDIR=$TW_PG_BINDIR"
        printf '%s\n' "$TW_PG_BINDIR"
        return
    fi
    local d best=
    for d in /usr/lib/postgresql/*/bin; do
        [[ -x $d/pg_ctl ]] || continue
        if [[ -z $best ]] || (( ${d//[!0-9]/} > ${best//[!0-9]/} )); then
            best=$d
        fi
    done
    if [[ -z $best ]] && command -v pg_config >/dev/null; then
        best=$(pg_config --bindir)
    fi
    [[ -n $best && -x $best/pg_ctl ]] || tw_die "PostgreSQL server binaries not found (install postgresql or set TW_PG_BINDIR)"
    printf '%s\n' "$best"
}

# Path of an ODBC driver library: ask dpkg which file the package installed,
# fall back to the usual multiarch location.
tw_driver_lib() {   # <package> <library file name> <fallback path>
    local pkg=$1 name=$2 fallback=$3 path=
    if command -v dpkg >/dev/null; then
        path=$(dpkg -L "$pkg" 2>/dev/null | grep -m1 "/$name\$" || true)
    fi
    [[ -n $path && -e $path ]] || path=$fallback
    [[ -e $path ]] || tw_die "ODBC driver $name not found (install $pkg)"
    printf '%s\n' "$path"
}

# PostgreSQL refuses to run as root: when we are root the cluster belongs to
# the postgres account, otherwise to the current user.
tw_as_pg_owner() {
    if (( EUID == 0 )); then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

# Start time of a process in clock ticks since boot, or nothing if it is gone.
# Paired with the PID it tells a live owner from a recycled PID.
tw_proc_start_time() {
    local stat rest
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    rest=${stat##*) }           # the command name may hold spaces and parens
    # shellcheck disable=SC2086
    set -- $rest
    printf '%s\n' "${20}"
}

# True while a process runs.  One that has ended but whose parent has not collected it yet (a
# server whose starter is gone waits for init, which may take a second) counts as ended.
tw_proc_running() {   # <pid>
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    [[ ${stat##*) } != Z* ]]
}

# The process that called us.  A "$(start.sh)" in a script may run us from a
# forked copy of the script's shell that exits as soon as we return; such a
# copy has the same command line as its parent, so climb past it.
tw_caller_pid() {   # <pid of our parent>
    local pid=$1 parent cmd pcmd
    while :; do
        parent=$(awk '/^PPid:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) || break
        if [[ -z $parent ]] || (( parent <= 1 )); then break; fi
        cmd=$(tr '\0' ' ' 2>/dev/null < "/proc/$pid/cmdline") || break
        pcmd=$(tr '\0' ' ' 2>/dev/null < "/proc/$parent/cmdline") || break
        [[ -n $cmd && $cmd == "$pcmd" ]] || break
        pid=$parent
    done
    printf '%s\n' "$pid"
}

# Record which process a stand belongs to.
tw_write_owner() {   # <stand> <pid>
    local start
    start=$(tw_proc_start_time "$2")
    printf '%s %s\n' "$2" "${start:-0}" > "$1/owner.pid"
}

# True while the process recorded in <stand>/owner.pid is still running.
tw_owner_alive() {   # <stand>
    local pid start now
    read -r pid start < "$1/owner.pid" 2>/dev/null || return 1
    [[ $pid =~ ^[0-9]+$ ]] || return 1
    now=$(tw_proc_start_time "$pid")
    [[ -n $now ]] || return 1
    [[ -z $start || $start == 0 || $start == "$now" ]]
}

# Create the cluster: superuser "postgres", UTF-8, trust on the stand's own
# Unix socket (for set-up), passwords on TCP like a real server.
tw_pg_init() {   # <stand>
    local stand=$1 bindir locale=C
    bindir=$(tw_pg_bindir)
    # A UTF-8 ctype makes upper()/lower() work on non-ASCII text; plain C
    # still stores UTF-8 fine if C.UTF-8 is missing.
    if locale -a 2>/dev/null | grep -qiE '^c\.utf-?8$'; then locale=C.UTF-8; fi
    if (( EUID == 0 )); then
        install -d -o postgres -m 700 "$stand/pg"
    else
        install -d -m 700 "$stand/pg"
    fi
    tw_as_pg_owner "$bindir/initdb" -D "$stand/pg/data" -U postgres \
        --encoding=UTF8 --locale="$locale" \
        --auth-local=trust --auth-host=scram-sha-256 \
        >"$stand/pg/initdb.log" 2>&1 \
        || { cat "$stand/pg/initdb.log" >&2; tw_die "initdb failed"; }
}

# Start the cluster on <port>.  Returns 0 when running, 2 when the port is
# taken (so the caller may try another), 1 on any other failure.  The server
# must not inherit our descriptors (a caller's pipe or lock would stay open
# for as long as it runs).  The tests need no durability and run without
# fsync; TW_STAND_PG_FSYNC=on keeps it, for the benchmark's figures.
tw_pg_start_on() {   # <stand> <port>
    local stand=$1 port=$2 bindir offset=0 fsync=${TW_STAND_PG_FSYNC:-off}
    bindir=$(tw_pg_bindir)
    [[ -f $stand/pg/log ]] && offset=$(wc -c < "$stand/pg/log")
    if tw_as_pg_owner "$bindir/pg_ctl" -D "$stand/pg/data" -l "$stand/pg/log" \
            -o "-k $stand/pg -c listen_addresses=127.0.0.1 -p $port -c fsync=$fsync" \
            -w -t 60 start >/dev/null 2>>"$stand/pg/pg_ctl.log" \
            3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; then
        return 0
    fi
    if tail -c +"$((offset + 1))" "$stand/pg/log" 2>/dev/null \
            | grep -qiE 'address already in use|could not bind'; then
        return 2
    fi
    return 1
}

# Start a server on a free port with <start function> <stand> <port>, which returns 0 when the
# server runs, 2 when the port is taken and 1 on any other failure.  Tries <first port> (if
# given) and then ports upward from a random base; prints the port it got, or returns 1 when
# the server failed for another reason.
tw_start_on_free_port() {   # <start function> <stand> [first port]
    local start=$1 stand=$2 wanted=${3:-} port tries=0 rc
    port=${wanted:-$(( 20000 + RANDOM % 25000 ))}
    while :; do
        rc=0
        "$start" "$stand" "$port" || rc=$?
        case $rc in
            0) printf '%s\n' "$port"; return 0 ;;
            2) tw_log "port $port is in use, trying another"
               (( ++tries < 25 )) || tw_die "no free port found"
               if [[ $port == "$wanted" ]]; then
                   port=$(( 20000 + RANDOM % 25000 ))
               else
                   port=$(( port + 1 ))
               fi ;;
            *) return 1 ;;
        esac
    done
}

# Start the cluster on a free port (<first port> if given and free); prints the port.
tw_pg_start() {   # <stand> [first port]
    local stand=$1
    # Unix socket paths are limited to 107 bytes.
    (( ${#stand} + 20 < 107 )) || tw_die "stand path too long for a Unix socket: $stand"
    tw_start_on_free_port tw_pg_start_on "$stand" "${2:-}" && return 0
    tail -n 20 "$stand/pg/log" >&2 2>/dev/null || true
    tail -n 5 "$stand/pg/pg_ctl.log" >&2 2>/dev/null || true
    tw_die "PostgreSQL did not start (log: $stand/pg/log)"
}

tw_pg_running() {   # <stand>
    [[ -f $1/pg/data/postmaster.pid ]] || return 1
    tw_as_pg_owner "$(tw_pg_bindir)/pg_ctl" -D "$1/pg/data" status >/dev/null 2>&1
}

# Stop the cluster if it runs; quiet, never fails.
tw_pg_stop() {   # <stand>
    local stand=$1 bindir
    [[ -f $stand/pg/data/postmaster.pid ]] || return 0
    bindir=$(tw_pg_bindir 2>/dev/null) || return 0
    tw_as_pg_owner "$bindir/pg_ctl" -D "$stand/pg/data" -m fast -w -t 30 stop >/dev/null 2>&1 \
        || tw_as_pg_owner "$bindir/pg_ctl" -D "$stand/pg/data" -m immediate -w -t 30 stop >/dev/null 2>&1 \
        || true
}

# psql as the superuser over the stand's socket.  Extra arguments go to psql
# (e.g. -d scott, -U scott, -c '...'); stops at the first SQL error.
tw_psql() {   # <stand> <port> [psql args...]
    local stand=$1 port=$2
    shift 2
    PGCLIENTENCODING=UTF8 PGOPTIONS="-c client_min_messages=warning" "$(tw_pg_bindir)/psql" -X -q -v ON_ERROR_STOP=1 \
        -h "$stand/pg" -p "$port" -U postgres -d postgres "$@"
}

# Make the scott login and database and give them what the Oracle side has
# but PostgreSQL lacks.  Safe to repeat.
tw_pg_setup_scott() {   # <stand> <port>
    tw_pg_setup_oracle_user "$1" "$2" "$TW_ORA_USER" "$TW_ORA_PASSWORD"
}

# A login with its own database that looks like an Oracle schema: the user_tables and all_tables
# views and the blob type. Safe to run again.
tw_pg_setup_oracle_user() {   # <stand> <port> <user> <password>
    local stand=$1 port=$2 u=$3 password=$4
    tw_psql "$stand" "$port" -c "
        do \$\$ begin
            if not exists (select from pg_roles where rolname = '$u') then
                create role $u login password '$password';
            end if;
        end \$\$;" >/dev/null
    if [[ -z $(tw_psql "$stand" "$port" -tA -c "select 1 from pg_database where datname = '$u'") ]]; then
        tw_psql "$stand" "$port" -c "create database $u owner $u" >/dev/null
    fi
    tw_psql "$stand" "$port" -U "$u" -d "$u" >/dev/null <<'SQL'
set search_path = public;
create or replace view user_tables as
    select table_name::varchar as table_name
    from information_schema.tables
    where table_schema = current_schema() and table_type = 'BASE TABLE';
create or replace view all_tables as
    select table_schema::varchar as owner, table_name::varchar as table_name
    from information_schema.tables
    where table_type = 'BASE TABLE';
do $$ begin
    if not exists (select from pg_type t join pg_namespace n on n.oid = t.typnamespace
                   where t.typname = 'blob' and n.nspname = 'public') then
        create domain public.blob as bytea;
    end if;
end $$;
SQL
}

# A further login with a database of its own name (the Oracle-side driver connects to the
# database named like the user). Used to prove awkward passwords reach the server intact.
tw_pg_add_login() {   # <stand> <port> <role> <password>
    local stand=$1 port=$2 role=$3 password=${4//\'/\'\'}
    tw_psql "$stand" "$port" -c "create role $role login password '$password'" >/dev/null
    tw_psql "$stand" "$port" -c "create database $role owner $role" >/dev/null
}

# The drivers' registrations; --with-mariadb adds MariaDB's, whose package only the tests need.
tw_write_odbcinst() {   # <stand> [--with-mariadb]
    local pg sqlite
    pg=$(tw_driver_lib odbc-postgresql psqlodbcw.so /usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so)
    sqlite=$(tw_driver_lib libsqliteodbc libsqlite3odbc.so /usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so)
    cat > "$1/odbcinst.ini.tmp" <<EOF
[$TW_ORACLE_DRIVER_NAME]
Description=PostgreSQL standing in for Oracle
Driver=$pg
CommLog=0
Debug=0

[$TW_SQLITE_DRIVER_NAME]
Description=SQLite standing in for SQL Anywhere
Driver=$sqlite
EOF
    if [[ ${2:-} == --with-mariadb ]]; then
        printf '\n' >> "$1/odbcinst.ini.tmp"
        tw_maria_odbcinst_section >> "$1/odbcinst.ini.tmp"
    fi
    mv -f "$1/odbcinst.ini.tmp" "$1/odbcinst.ini"
}

# An empty SQLite database file, so its data source opens.
tw_sqlite_create() {   # <file>
    [[ -s $1 ]] && return 0
    sqlite3 "$1" 'pragma user_version = 0; create table tw_probe(x); drop table tw_probe;' \
        || tw_die "cannot create SQLite database $1"
}

# stand.env: everything a test or the program needs to reach the stand.
tw_write_env() {   # <stand> <port> [extra export lines...]
    local stand=$1 port=$2
    shift 2
    {
        printf 'export TW_STAND=%q\n' "$stand"
        printf 'export ODBCSYSINI=%q\n' "$stand"
        printf 'export ODBCINI=%q\n' "$stand/odbc.ini"
        printf 'export PGPORT=%q\n' "$port"
        printf 'export PGHOST_SOCKET=%q\n' "$stand/pg"
        local line
        for line in "$@"; do printf '%s\n' "$line"; done
    } > "$stand/stand.env.tmp"
    mv -f "$stand/stand.env.tmp" "$stand/stand.env"
}

# Processes still working on a stand's servers: a server that would not stop, or an initdb or
# mariadb-install-db left behind when the script that ran it was killed.
tw_stand_pids() {   # <stand>
    local f pid cmd
    for f in /proc/[0-9]*/cmdline; do
        pid=${f#/proc/}
        pid=${pid%/cmdline}
        [[ $pid != "$$" && $pid != "$BASHPID" ]] || continue
        cmd=$(tr '\0' ' ' 2>/dev/null < "$f") || continue
        if [[ $cmd == *"-D $1/pg/data "* || $cmd == *"--defaults-file=$1/maria/my.cnf "* ]]; then
            printf '%s\n' "$pid"
        fi
    done
    return 0
}

# Stop and remove a stand directory; tolerates any half-built state.
tw_stand_remove() {   # <stand>
    local stand=$1 pids
    [[ -d $stand ]] || return 0
    # Both servers at once: each mostly waits for its own shutdown.
    tw_maria_stop "$stand" &
    tw_pg_stop "$stand"
    wait $! || true
    pids=$(tw_stand_pids "$stand")
    if [[ -n $pids ]]; then
        # shellcheck disable=SC2086
        kill -KILL $pids 2>/dev/null || true
        sleep 0.2
    fi
    rm -rf -- "$stand" 2>/dev/null || { sleep 0.5; rm -rf -- "$stand" 2>/dev/null; } || true
}

# Remove stands under /tmp whose creating process is gone (a run killed
# before it could clean up).  A stand without owner.pid is only taken once
# it is a minute old, so one being created right now is left alone.
tw_reap_stale_stands() {
    local d
    for d in /tmp/tablewright-stand.*; do
        [[ -d $d && ! -L $d && -O $d ]] || continue
        if [[ -f $d/owner.pid ]]; then
            tw_owner_alive "$d" && continue
        elif [[ -z $(find "$d" -maxdepth 0 -mmin +1 2>/dev/null) ]]; then
            continue
        fi
        tw_log "removing abandoned stand $d"
        tw_stand_remove "$d"
    done
}

# shellcheck source-path=SCRIPTDIR source=mariadb-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/mariadb-lib.sh"
