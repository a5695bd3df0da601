# shellcheck shell=bash
# The stand's private MariaDB server.  Sourced by stand-lib.sh; functions only.
#
#   maria/my.cnf          the server's only option file (and the client's, for the socket)
#   maria/data            its data directory
#   maria/mariadbd.sock   its Unix socket, maria/mariadbd.pid its process, maria/error.log its log
#   mariadb               the mariadb client as the server's administrator, over the socket
#
# The server listens on 127.0.0.1 only and reads no system option file.  Its data is thrown
# away with the stand, so it keeps nothing safe on disk.

# Name MariaDB's driver is registered under: Debian's own name for it, so a connection string
# written for a machine with the driver installed works on the stand too.
TW_MARIA_DRIVER_NAME='MariaDB Unicode'

# Login and databases the tests use.
TW_MARIA_USER=scott
TW_MARIA_PASSWORD=tiger
TW_MARIA_DATABASES=(scott scott2)

# The server binary: $TW_MARIADBD, else Debian's place, which a normal user's PATH lacks.
tw_mariadbd() {
    local path=${TW_MARIADBD:-}
    [[ -n $path ]] || path=$(command -v mariadbd || true)
    [[ -n $path ]] || path=/usr/sbin/mariadbd
    [[ -x $path ]] || tw_die "mariadbd not found (install mariadb-server or set TW_MARIADBD)"
    printf '%s\n' "$path"
}

# Root runs the server as the mysql account, as it runs PostgreSQL as postgres: mariadbd would
# run as root only if told so, and mariadb-install-db, told so, changes the ownership of files
# of the installed package.
tw_as_maria_owner() {
    if (( EUID == 0 )); then
        runuser -u mysql -- "$@"
    else
        "$@"
    fi
}

# Create the data directory with the option file, the databases of the system and an
# administrator who logs in over the socket as the account that runs this script.
tw_maria_init() {   # <stand>
    local stand=$1 dir=$1/maria
    command -v mariadb-install-db >/dev/null || tw_die "mariadb-install-db not found (install mariadb-server)"
    (( ${#dir} + 20 < 107 )) || tw_die "stand path too long for a Unix socket: $stand"
    install -d -m 700 "$dir" "$dir/tmp"
    cat > "$dir/my.cnf" <<EOF
[client-server]
socket=$dir/mariadbd.sock

[client]
user=$(id -un)

[mariadbd]
datadir=$dir/data
pid-file=$dir/mariadbd.pid
log-error=$dir/error.log
tmpdir=$dir/tmp
bind-address=127.0.0.1
skip-name-resolve
character-set-server=utf8mb4
# Nothing here needs to survive a crash: no binary log, no doublewrite, no flush at each
# commit, and a small buffer pool and log.
skip-log-bin
innodb_flush_log_at_trx_commit=0
innodb_doublewrite=0
innodb_buffer_pool_size=64M
innodb_log_file_size=32M
EOF
    (( EUID != 0 )) || chown -R mysql: "$dir"
    (cd / && tw_as_maria_owner mariadb-install-db --defaults-file="$dir/my.cnf" \
        --skip-test-db --auth-root-socket-user="$(id -un)") >"$stand/maria-install.log" 2>&1 \
        || { tail -n 20 "$stand/maria-install.log" "$dir/error.log" >&2 2>/dev/null
             tw_die "mariadb-install-db failed"; }
}

# Start the server on <port>.  Returns 0 once it takes connections, 2 when the port is taken,
# 1 on any other failure.  Like PostgreSQL's, the server keeps none of our descriptors and
# gets a session of its own.
tw_maria_start_on() {   # <stand> <port>
    local stand=$1 port=$2 dir=$1/maria mariadbd pid offset=0 user=() i
    mariadbd=$(tw_mariadbd)
    (( EUID != 0 )) || user=(--user=mysql)
    [[ -f $dir/error.log ]] && offset=$(wc -c < "$dir/error.log")
    (cd / && exec setsid "$mariadbd" --defaults-file="$dir/my.cnf" --port="$port" "${user[@]}" \
        </dev/null >>"$stand/mariadbd.out" 2>&1 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-) &
    pid=$!
    # The socket appears once the server listens on its port and takes connections.
    for (( i = 0; i < 1200; i++ )); do
        if [[ -S $dir/mariadbd.sock ]]; then
            return 0
        fi
        tw_proc_running "$pid" || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if tail -c +"$((offset + 1))" "$dir/error.log" 2>/dev/null | grep -qiE 'address already in use'; then
        return 2
    fi
    return 1
}

# Start the server on a free port; prints the port.
tw_maria_start() {   # <stand>
    local stand=$1
    tw_start_on_free_port tw_maria_start_on "$stand" && return 0
    tail -n 20 "$stand/maria/error.log" "$stand/mariadbd.out" >&2 2>/dev/null || true
    tw_die "MariaDB did not start (log: $stand/maria/error.log)"
}

# Stop the server if it runs and wait for it to end; quiet, never fails.
tw_maria_stop() {   # <stand>
    local dir=$1/maria pid i
    read -r pid 2>/dev/null < "$dir/mariadbd.pid" || return 0
    [[ $pid =~ ^[0-9]+$ ]] || return 0
    # A pid file outlives a server that crashed: make sure the number is still our server.
    [[ $(tr '\0' ' ' 2>/dev/null < "/proc/$pid/cmdline") == *"--defaults-file=$dir/my.cnf "* ]] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for (( i = 0; i < 600; i++ )); do
        tw_proc_running "$pid" || return 0
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# The mariadb client as the administrator over the stand's socket; stops at the first SQL
# error.  Extra arguments go to the client (e.g. -u scott -ptiger scott2, -e '...').
tw_mariadb() {   # <stand> [mariadb args...]
    local stand=$1
    shift
    mariadb --defaults-file="$stand/maria/my.cnf" "$@"
}

# The databases and the tests' login, over TCP from 127.0.0.1 and over the socket.
tw_maria_setup() {   # <stand>
    local sql="" db host
    for db in "${TW_MARIA_DATABASES[@]}"; do
        sql+="create database if not exists \`$db\`;"
    done
    for host in 127.0.0.1 localhost; do
        sql+="create user if not exists '$TW_MARIA_USER'@'$host' identified by '$TW_MARIA_PASSWORD';"
        for db in "${TW_MARIA_DATABASES[@]}"; do
            sql+="grant all on \`$db\`.* to '$TW_MARIA_USER'@'$host';"
        done
    done
    tw_mariadb "$1" -e "$sql" >/dev/null || tw_die "MariaDB set-up failed"
}

# A login with a password of its own, to the first of the tests' databases.
tw_maria_add_login() {   # <stand> <user> <password>
    local user=$2 password=${3//\'/\'\'} host sql=""
    for host in 127.0.0.1 localhost; do
        sql+="create user if not exists '$user'@'$host' identified by '$password';"
        sql+="grant all on \`${TW_MARIA_DATABASES[0]}\`.* to '$user'@'$host';"
    done
    tw_mariadb "$1" -e "$sql" >/dev/null || tw_die "MariaDB login $user failed"
}

# <stand>/mariadb: the client on this stand's server as its administrator, for tests and
# people (pass -u scott -ptiger scott to be the tests' login).
tw_maria_write_client() {   # <stand>
    local stand=$1
    {
        printf '#!/bin/sh\n'
        printf 'exec mariadb --defaults-file=%q "$@"\n' "$stand/maria/my.cnf"
    } > "$stand/mariadb"
    chmod 700 "$stand/mariadb"
}

# The odbcinst.ini section for MariaDB's driver.
tw_maria_odbcinst_section() {
    local lib
    lib=$(tw_driver_lib odbc-mariadb libmaodbc.so /usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so)
    cat <<EOF
[$TW_MARIA_DRIVER_NAME]
Description=MariaDB Connector/ODBC
Driver=$lib
Threading=0
EOF
}

# An odbc.ini section for a database on the stand's server.
tw_maria_odbc_section() {   # <name> <port> <database>
    cat <<EOF
[$1]
Description=MariaDB, database $3
Driver=$TW_MARIA_DRIVER_NAME
Server=127.0.0.1
Port=$2
Database=$3
User=$TW_MARIA_USER
Password=$TW_MARIA_PASSWORD
Charset=utf8mb4
EOF
}
