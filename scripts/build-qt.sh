#!/usr/bin/env bash
# Builds Qt's qtbase for another platform once, into the cache, with the
# host's Qt as host tools; later runs find it there and return at once.
#   scripts/build-qt.sh windows CACHE_DIR   64-bit Windows (mingw-w64), shared
#   scripts/build-qt.sh wasm CACHE_DIR      WebAssembly (Debian's emscripten),
#                                           static and size-optimised
# Prints the install prefix. Delete it to build again.
set -euo pipefail

target=$1
cache=$2
here=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/-.*//; s/^[0-9]*://; s/+dfsg.*//')

common=(-qt-host-path /usr -nomake examples -nomake tests -no-dbus -no-icu
        -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
        -no-feature-printsupport -qt-zlib -qt-pcre -qt-harfbuzz -qt-freetype -qt-libpng
        -qt-libjpeg -no-feature-zstd)
case "$target" in
  windows)
    name=win64
    # Direct2D stays on: the Windows platform plugin does not link without it.
    # Debian's tarball has no wintab, hence no tablet events.
    options=(-release -shared -xplatform win32-g++ -no-opengl -no-feature-vulkan
             -no-feature-tabletevent "${common[@]}"
             -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake"
             -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    ;;
  wasm)
    name=wasm
    # OpenGL stays on: Qt's wasm windows paint through WebGL.
    options=(-release -static -optimize-size -xplatform wasm-emscripten -no-feature-thread
             "${common[@]}" -- -G Ninja -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    ;;
  *) echo "usage: $0 windows|wasm CACHE_DIR" >&2; exit 2 ;;
esac

prefix="$cache/qt-$version-$name"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

src=$("$here/scripts/qt-source.sh" "$cache")
if [ "$target" = wasm ]; then . "$here/scripts/emsdk-env.sh" "$cache"; fi
build="$cache/build-qt-$version-$name"
log="$cache/build-qt-$version-$name.log"
rm -rf "$build" "$prefix"
mkdir -p "$build"
start=$(date +%s)
echo "Building Qt $version for $target into $prefix (15 to 25 minutes on 2 cores; log: $log)" >&2
(
  cd "$build"
  "$src/configure" -prefix "$prefix" "${options[@]}"
  cmake --build . --parallel "$(nproc)"
  cmake --install .
) > "$log" 2>&1 || {
  tail -n 40 "$log" >&2
  exit 1
}
rm -rf "$build"
# Qt's licence texts go with the libraries into what the program ships.
cp -r "$src/LICENSES" "$prefix/LICENSES"
touch "$prefix/.complete"
echo "Qt for $target built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
