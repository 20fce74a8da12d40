#!/usr/bin/env bash
# Builds Qt's qtbase for 64-bit Windows (mingw-w64) once, into the cache, with
# the host's Qt as host tools. Later runs find it there and return at once.
# Usage: build-qt-windows.sh CACHE_DIR   (prints the install prefix)
set -euo pipefail

cache=$1
here=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/-.*//; s/^[0-9]*://; s/+dfsg.*//')
prefix="$cache/qt-$version-win64"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

src=$("$here/scripts/qt-source.sh" "$cache")
build="$cache/build-qt-$version-win64"
rm -rf "$build" "$prefix"
mkdir -p "$build"
start=$(date +%s)
echo "Building Qt $version for Windows into $prefix (about 15 minutes on 2 cores)" >&2
(
  cd "$build"
  # Direct2D stays on: the Windows platform plugin does not link without it.
  # Debian's tarball has no wintab, hence no tablet events.
  "$src/configure" -prefix "$prefix" -release -shared -xplatform win32-g++ -qt-host-path /usr \
    -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
    -no-feature-printsupport -no-feature-vulkan -no-feature-tabletevent \
    -qt-zlib -qt-pcre -qt-harfbuzz -qt-freetype -qt-libpng -qt-libjpeg -no-feature-zstd \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  cmake --build . --parallel "$(nproc)"
  cmake --install .
) > "$cache/build-qt-$version-win64.log" 2>&1 || {
  tail -n 40 "$cache/build-qt-$version-win64.log" >&2
  exit 1
}
rm -rf "$build"
# Qt's licence texts go with the libraries into what the program ships.
cp -r "$src/LICENSES" "$prefix/LICENSES"
touch "$prefix/.complete"
echo "Qt for Windows built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
