#!/usr/bin/env bash
# Builds Qt's qtbase for WebAssembly (Debian's emscripten) once, into the
# cache, static and size-optimised, with the host's Qt as host tools.
# Usage: build-qt-wasm.sh CACHE_DIR   (prints the install prefix)
set -euo pipefail

cache=$1
here=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/-.*//; s/^[0-9]*://; s/+dfsg.*//')
prefix="$cache/qt-$version-wasm"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

src=$("$here/scripts/qt-source.sh" "$cache")
. "$here/scripts/emsdk-env.sh" "$cache"
build="$cache/build-qt-$version-wasm"
rm -rf "$build" "$prefix"
mkdir -p "$build"
start=$(date +%s)
echo "Building Qt $version for WebAssembly into $prefix (about 16 minutes on 2 cores)" >&2
(
  cd "$build"
  # OpenGL stays on: Qt's wasm windows paint through WebGL.
  "$src/configure" -prefix "$prefix" -release -static -optimize-size -xplatform wasm-emscripten \
    -qt-host-path /usr -nomake examples -nomake tests -no-feature-thread -no-dbus -no-icu \
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
    -no-feature-printsupport -qt-zlib -qt-pcre -qt-harfbuzz -qt-freetype -qt-libpng -qt-libjpeg \
    -no-feature-zstd \
    -- -G Ninja -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  cmake --build . --parallel "$(nproc)"
  cmake --install .
) > "$cache/build-qt-$version-wasm.log" 2>&1 || {
  tail -n 40 "$cache/build-qt-$version-wasm.log" >&2
  exit 1
}
rm -rf "$build"
# Qt's licence texts go with the libraries into what the program ships.
cp -r "$src/LICENSES" "$prefix/LICENSES"
touch "$prefix/.complete"
echo "Qt for WebAssembly built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
