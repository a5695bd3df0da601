#!/usr/bin/env bash
# Makes the Debian package in a build folder (cpack -G DEB) and checks it: it holds exactly what
# `cmake --install` puts under /usr, its link on the PATH starts the program, its desktop entry
# is valid, and it depends on the libraries the program links. Exits non-zero naming what is wrong.
#
#   scripts/check-package.sh [BUILD_FOLDER]      default: build
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build}
work=$(mktemp -d)
manifest=$tree/install_manifest.txt

# The install below must not replace the list a real install left there: it is the documented
# uninstall.
[ ! -e "$manifest" ] || cp -p "$manifest" "$work/manifest"
# shellcheck disable=SC2317  # run by the trap
restore() {
  if [ -e "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap restore EXIT

failed=0
fail() {
  echo "package: $*" >&2
  failed=1
}

rm -f "$tree"/tablewright_*.deb
if ! (cd "$tree" && cpack -G DEB) >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  exit 1
fi
debs=("$tree"/tablewright_*.deb)
[ -f "${debs[0]}" ] || { cat "$work/cpack.log" >&2; echo "package: cpack made no tablewright_*.deb" >&2; exit 1; }
deb=${debs[0]}
echo "$deb"

DESTDIR=$work/installed cmake --install "$tree" --prefix /usr >/dev/null
(cd "$work/installed" && find . -mindepth 1 | sed 's|^\.||' | sort) >"$work/installed.list"
dpkg-deb --fsys-tarfile "$deb" | tar -tf - | sed 's|^\./|/|; s|/$||' | grep -v '^$' | sort \
  >"$work/packaged.list"
diff -u --label 'cmake --install --prefix /usr' --label "$deb" "$work/installed.list" \
  "$work/packaged.list" >&2 || fail "does not hold what cmake --install installs (above)"

dpkg-deb -x "$deb" "$work/root"
link=$(readlink "$work/root/usr/bin/tablewright" || true)
[[ -n $link && $link != /* ]] || fail "/usr/bin/tablewright is not a relative link: '$link'"
version=$("$work/root/usr/bin/tablewright" --version 2>&1) || fail "the program does not start: $version"
[ "$version" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the program says version '$version', the package $(dpkg-deb -f "$deb" Version)"

entry=$work/root/usr/share/applications/tablewright.desktop
problems=$(desktop-file-validate "$entry" 2>&1) || true
[ -z "$problems" ] || fail "desktop entry: $problems"

# Without dpkg-shlibdeps CPack would only warn and list unixodbc alone.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libodbc2; do
  grep -qw "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

exit $failed
