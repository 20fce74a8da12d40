#!/usr/bin/env bash
# Unpacks Qt's qtbase source, the same release as the host's Qt, from Debian's
# source package into the cache, for the Windows and browser builds of Qt.
# Debian's copy leaves out the SQLite that Qt SQL carries; it is put back from
# Debian's sqlite3 source package (its patches applied), as SQLite's own
# single-file form. Prints the source folder. Usage: qt-source.sh CACHE_DIR
set -euo pipefail

cache=$1
mkdir -p "$cache"
# The Windows and browser builds may ask at once: one unpacks, the other waits.
exec 8>"$cache/qtbase-src.lock"
flock 8
version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/-.*//; s/^[0-9]*://; s/+dfsg.*//')
src="$cache/qtbase-src-$version"
sqlite_dir="$src/src/3rdparty/sqlite"
if [ -f "$src/configure" ] && [ -f "$sqlite_dir/sqlite3.c" ]; then
  echo "$src"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
list=/etc/apt/sources.list.d/mimoran-qt-source.sources
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "qt-source.sh: apt has no source packages; adding Debian's ($codename, main) as $list" >&2
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$codename" | $SUDO tee "$list" >/dev/null
  $SUDO apt-get update -qq >&2
fi

mkdir -p "$cache/download"
if [ ! -f "$src/configure" ]; then
  (cd "$cache/download" && apt-get source --download-only -qq "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)" >&2)
  tarball=$(ls "$cache"/download/qt6-base_*.orig.tar.* | head -n1)
  rm -rf "$src.tmp" && mkdir -p "$src.tmp"
  tar -xf "$tarball" -C "$src.tmp" --strip-components=1
  mv "$src.tmp" "$src"
fi

# SQLite: the release Debian 12 ships, with Debian's patches.
(cd "$cache/download" && apt-get source --download-only -qq sqlite3 >&2)
dsc=$(ls "$cache"/download/sqlite3_*.dsc | sort -V | tail -n1)
work="$cache/download/sqlite3-src"
rm -rf "$work"
dpkg-source --no-check -x "$dsc" "$work" >/dev/null
(cd "$work" && ./configure --quiet >/dev/null && make -s sqlite3.c >/dev/null)
mkdir -p "$sqlite_dir"
cp "$work/sqlite3.c" "$work/sqlite3.h" "$sqlite_dir/"
rm -rf "$work"
echo "$src"
