#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tablewright need.
# Only missing packages are installed; as a normal user this goes through sudo.
# With --test it also installs the package check's tools and MariaDB's server and ODBC driver for
# the test stand, and makes sure the German locale the tests run one check in exists; with --fuzz
# it adds clang for the libFuzzer targets; with --bench, pgloader for the benchmark.
set -euo pipefail

packages=(
  # build (lld: the faster linker, used where installed)
  cmake make g++ lld pkg-config qt6-base-dev unixodbc-dev libpq-dev libgtest-dev libbenchmark-dev
  # the command line's argument parser
  libcli11-dev
  # tests: generated input, and SQLite's own parser to read composed statements back
  librapidcheck-dev libsqlite3-dev
  # the layout check
  clang-format-14
  # run: the ODBC driver manager, the drivers, and a font metric-compatible with Arial
  unixodbc odbcinst libsqliteodbc odbc-postgresql fonts-liberation
  # test stand: the databases, a virtual display for screenshots, and a German locale to
  # prove numbers keep their decimal point in any session
  postgresql sqlite3 xvfb xauth locales
  # the README's pictures (scripts/screenshot.sh --readme), and the desktop test's window
  xdotool
)

# With --test, what the test command's package check and the manual page's check use: CPack's
# dependency list (dpkg-shlibdeps, file), the desktop entry's validator, and groff; the test
# stand's MariaDB server and its ODBC driver, which the program itself does not need; and a
# terminal for the command line's questions.
if [ "${1:-}" = --test ]; then
  packages+=(dpkg-dev file desktop-file-utils groff-base mariadb-server odbc-mariadb
    # script, which gives the command line a terminal to ask its questions on
    bsdutils)
fi

# With --bench, the tool the benchmark measures the program's copy into PostgreSQL against.
if [ "${1:-}" = --bench ]; then
  packages+=(pgloader)
fi

# With --fuzz, the compiler and runtime the libFuzzer targets need as well.
if [ "${1:-}" = --fuzz ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# Debian makes and starts a "main" cluster on port 5432 when the server package is installed;
# the stands run clusters of their own and need none. Said only before the server is installed
# here; clusters a machine already has are left as they are.
if printf '%s\n' "${missing[@]}" | grep -qx postgresql; then
  "${sudo[@]}" mkdir -p /etc/postgresql-common/createcluster.d
  echo "create_main_cluster = false" |
    "${sudo[@]}" tee /etc/postgresql-common/createcluster.d/50-tablewright-no-main-cluster.conf >/dev/null
fi

# Debian starts the system's MariaDB server when the package is installed; the stands run servers
# of their own and need none. While the packages install, a policy-rc.d that refuses MariaDB's
# service keeps it from starting, unless the machine has a policy of its own.
policy=/usr/sbin/policy-rc.d
if printf '%s\n' "${missing[@]}" | grep -qx mariadb-server && [ ! -e "$policy" ]; then
  trap '"${sudo[@]}" rm -f "$policy"' EXIT
  "${sudo[@]}" tee "$policy" >/dev/null <<'EOF'
#!/bin/sh
# Written by Tablewright's scripts/install-deps.sh for as long as it installs packages.
for arg; do case $arg in mariadb | mariadb.service | mysql) exit 101 ;; esac; done
exit 0
EOF
  "${sudo[@]}" chmod 755 "$policy"
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = --test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
