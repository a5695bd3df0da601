#!/usr/bin/env bash
# Smoke check of a database stand through unixODBC, the way the program
# reaches it: every data source in $ODBCINI, and the Oracle-side driver
# connection string; and the MariaDB client of a stand that has one.  Works
# for test stands (start.sh) and the demo stand.
#
#   check-stand.sh [stand-dir]     # without a dir, stand.env must be sourced
#
# Exit status is non-zero if any check fails.
set -euo pipefail

TW_LOG_TAG='check-stand'
# shellcheck source-path=SCRIPTDIR source=stand-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/stand-lib.sh"

if (( $# == 1 )); then
    [[ -f $1/stand.env ]] || tw_die "no stand.env in $1"
    # shellcheck disable=SC1091
    . "$1/stand.env"
elif (( $# > 1 )); then
    tw_die "usage: $0 [stand-dir]"
fi
for v in ODBCSYSINI ODBCINI PGPORT; do
    [[ -n ${!v:-} ]] || tw_die "$v is not set (source stand.env or pass the stand directory)"
done
command -v isql >/dev/null || tw_die "isql not found (install unixodbc)"

# isql passes UTF-8 bytes through unchanged; keep the locale UTF-8 anyway so
# nothing on the way decides to transcode.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

ORACLE_CONN="Driver={$TW_ORACLE_DRIVER_NAME};Server=127.0.0.1;Uid=$TW_ORA_USER;Pwd=$TW_ORA_PASSWORD;"
SAMPLE='Bücher 😀'          # two-byte and four-byte UTF-8 sequences
failures=0

# Run SQL (one statement per line) through isql; print the result rows as
# "a|b|c" lines.  Fails on a connect error or any SQL error.
run_isql() {   # <isql target args...>   SQL on stdin
    local out
    out=$( { cat; echo; } | isql -b -v -d'|' "$@" 2>&1 ) || { printf '%s\n' "$out" >&2; return 1; }
    # SQLSTATE classes 00 (notices) and 01 (warnings) are not failures.
    if grep -qE '^\[(0[2-9A-Z]|[1-9A-Z][0-9A-Z])[0-9A-Z]{3}\]|\[ISQL\]ERROR' <<<"$out"; then
        printf '%s\n' "$out" >&2
        return 1
    fi
    grep -vE '^SQLRowCount returns|^[0-9]+ rows fetched$|^\[(00|01)[0-9A-Z]{3}\]|^\[ISQL\]INFO|^$' <<<"$out" || true
}

# expect <what> <expected output> <actual output>
expect() {
    if [[ $3 == "$2" ]]; then
        tw_log "ok: $1"
    else
        tw_log "FAILED: $1"
        printf '  expected: %q\n  got:      %q\n' "$2" "$3" >&2
        failures=$((failures + 1))
    fi
}

check() {   # <what> <expected> <isql args...>   SQL on stdin
    local what=$1 want=$2 got
    shift 2
    if got=$(run_isql "$@"); then
        expect "$what" "$want" "$got"
    else
        tw_log "FAILED: $what (see messages above)"
        failures=$((failures + 1))
    fi
}

# Every data source opens and answers.  SQLite and MariaDB ones also keep UTF-8 text, and
# MariaDB's server keeps its default sql_mode, without ANSI_QUOTES: the program must work in it.
mapfile -t dsns < <(sed -n 's/^[[:space:]]*\[\([^]]*\)\][[:space:]]*$/\1/p' "$ODBCINI")
(( ${#dsns[@]} > 0 )) || tw_die "no data sources in $ODBCINI"
for dsn in "${dsns[@]}"; do
    check "data source $dsn answers" "tw-ok" "$dsn" <<<"select 'tw-ok'"
    driver=$(sed -n "/^\[$dsn\]/,/^\[/s/^Driver=//p" "$ODBCINI" | head -n1)
    if [[ $driver == "$TW_SQLITE_DRIVER_NAME" ]]; then
        check "data source $dsn keeps UTF-8 text" "$SAMPLE|8" "$dsn" <<SQL
create temp table tw_check_probe (txt varchar(40))
insert into tw_check_probe values ('$SAMPLE')
select txt, length(txt) from tw_check_probe
drop table tw_check_probe
SQL
    elif [[ $driver == "$TW_MARIA_DRIVER_NAME" ]]; then
        check "data source $dsn keeps UTF-8 text, without ANSI quotes" "$SAMPLE|8|0" "$dsn" <<SQL
create temporary table tw_check_probe (txt varchar(40))
insert into tw_check_probe values ('$SAMPLE')
select txt, char_length(txt), find_in_set('ANSI_QUOTES', @@sql_mode) from tw_check_probe
drop temporary table tw_check_probe
SQL
    fi
done

if [[ -n ${TW_MARIA_CLIENT:-} ]]; then
    expect "MariaDB client as the tests' login" "scott@127.0.0.1|scott2" \
        "$("$TW_MARIA_CLIENT" -N -B -h 127.0.0.1 -P "$TW_MARIA_PORT" -u scott -ptiger scott2 \
            -e "select current_user(), database()" 2>&1 | tr '\t' '|')"
fi

# The Oracle-side connection string: login, user_tables, the blob type and
# a UTF-8 database.
check "Oracle-side connection string: tables, blob, UTF-8" \
      "tw_check_probe"$'\n'"$SAMPLE|8|3" -k "$ORACLE_CONN" <<SQL
drop table if exists tw_check_probe
create table tw_check_probe (txt varchar(40), bin blob)
insert into tw_check_probe values ('$SAMPLE', '\\x010203')
select table_name from user_tables where table_name = 'tw_check_probe'
select txt, length(txt), length(bin) from tw_check_probe
drop table tw_check_probe
SQL

if (( failures > 0 )); then
    tw_die "$failures check(s) failed"
fi
tw_log "all checks passed"
