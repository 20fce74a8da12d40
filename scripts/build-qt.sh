#!/usr/bin/env bash
# Builds Qt's qtbase for another platform once, into the cache, with the
# host's Qt as host tools; later runs find it there and return at once.
#   scripts/build-qt.sh windows CACHE_DIR   64-bit Windows (mingw-w64), shared
#   scripts/build-qt.sh wasm CACHE_DIR      WebAssembly (Debian's emscripten),
#                                           static and size-optimised
# Only the features scripts/qt-features.txt keeps for the target are built.
# The install prefix, which this prints, is named after a hash of everything
# that decides the build (version, options, feature list), so a changed list
# builds anew and never uses a stale Qt. One build at a time per target: a
# second caller waits on the lock and then finds the first one's Qt.
set -euo pipefail

target=$1
cache=$2
here=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/-.*//; s/^[0-9]*://; s/+dfsg.*//')
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
host_cmake_dir=/usr/lib/$multiarch/cmake
[ -f "$host_cmake_dir/Qt6/Qt6Config.cmake" ] || {
  echo "build-qt.sh: the host's Qt 6 (qt6-base-dev) is not in $host_cmake_dir" >&2
  exit 1
}

# No HarfBuzz: Japanese, digits and the full-width signs need no OpenType
# shaping, and Qt then lays text out from the font's own glyph map and kerning
# (the screens look the same without it). It was a seventh of each
# build's compile time and 0.15 MB of the browser's first load.
common=(-qt-host-path /usr -nomake examples -nomake tests -no-dbus -no-icu
        -no-feature-network -no-feature-xml -no-feature-concurrent
        -no-feature-printsupport -qt-zlib -qt-pcre -no-harfbuzz -qt-libpng
        -qt-libjpeg -no-feature-zstd)
case "$target" in
  windows)
    name=win64
    # Direct2D stays on: the Windows platform plugin does not link without it.
    # Direct2D 1.1 goes: it only adds a second Windows platform plugin (the
    # first one's sources compiled again), which the program never loads.
    # Debian's tarball has no wintab, hence no tablet events.
    # Optimised for size, as the browser's: Qt Core and Gui are otherwise
    # built at -O3, which compiles a quarter slower, for painting speed a
    # drill of a few dozen widgets does not need; the installer gets smaller.
    # Qt SQL with its own copy of SQLite, and no other database driver: the
    # learning record is an SQLite file.
    options=(-release -shared -optimize-size -xplatform win32-g++ -no-opengl -no-feature-vulkan
             -no-feature-tabletevent -no-feature-direct2d1_1 -qt-freetype
             -sql-sqlite -qt-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -no-sql-db2 -no-sql-ibase -no-sql-oci
             "${common[@]}")
    cmake_args=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake")
    # With the list: every suite under wine and the installer test pass.
    trim=yes
    ;;
  wasm)
    name=wasm
    # OpenGL stays on: Qt's wasm windows paint through WebGL. No test runs in
    # the browser, so no Qt Test either.
    # Nor Qt's built-in copy of the MIME database (a private feature, so not
    # in the list): 0.3 MB of the first load, and the program looks up no
    # MIME type. Nor Qt SQL: the page keeps the learning record in the
    # browser's IndexedDB.
    options=(-release -static -optimize-size -xplatform wasm-emscripten -no-feature-thread -no-feature-sql
             -no-feature-testlib -no-feature-mimetype-database -qt-freetype "${common[@]}")
    cmake_args=(-G Ninja)
    trim=yes
    ;;
  *) echo "usage: $0 windows|wasm CACHE_DIR" >&2; exit 2 ;;
esac
cmake_args+=(-DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir")

src=$("$here/scripts/qt-source.sh" "$cache")

# Every feature configure knows, asked for or left out by the list.
features_file="$here/scripts/qt-features.txt"
# (configure prints the list on standard error, and leaves a file behind.)
scratch=$(mktemp -d)
mapfile -t known < <(cd "$scratch" && "$src/configure" -list-features 2>&1 | awk '/^[a-z0-9_-]+ \.+/ {print $1}')
rm -rf "$scratch"
[ ${#known[@]} -gt 100 ] || { echo "build-qt.sh: configure -list-features gave no list" >&2; exit 1; }
mapfile -t keep < <(awk -v t="$target" '!/^#/ && NF >= 2 { n = split($2, e, ","); for (i = 1; i <= n; i++) if (e[i] == t) print $1 }' "$features_file")
# (Look-ups in arrays, not `printf | grep -q`: with pipefail, grep leaving
# early fails the pipe now and then, and a kept feature would go.)
declare -A is_known=() is_kept=()
for f in "${known[@]}"; do is_known[$f]=1; done
for f in "${keep[@]}"; do
  [ -n "${is_known[$f]:-}" ] || { echo "build-qt.sh: $features_file names '$f', which configure does not know" >&2; exit 1; }
  is_kept[$f]=1
done
for f in "${known[@]}"; do
  [ "$trim" = yes ] || break
  if [ -n "${is_kept[$f]:-}" ]; then
    # Qt's own copy of a library is asked for as -qt-NAME, which -feature-NAME
    # would turn into a search for the system's.
    [[ " ${options[*]} " == *" -qt-$f "* ]] || options+=("-feature-$f")
  else
    options+=("-no-feature-$f")
  fi
done

key=$({ echo "$version $target"; printf '%s\n' "${options[@]}" "${cmake_args[@]}"; cat "$here/cmake/mingw-w64-x86_64.cmake"; } \
      | sed "s|$here|SOURCE|g" | sha256sum | cut -c1-10)
prefix="$cache/qt-$version-$name-$key"
mkdir -p "$cache"
exec 9>"$cache/qt-$version-$name.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

if [ "$target" = wasm ]; then . "$here/scripts/emsdk-env.sh" "$cache"; fi
build="$cache/build-qt-$version-$name"
log="$cache/build-qt-$version-$name.log"
rm -rf "$build" "$prefix"
mkdir -p "$build"
start=$(date +%s)
echo "Building Qt $version for $target into $prefix (log: $log)" >&2
# (&&: set -e does not reach into a list that is followed by ||.)
(
  cd "$build" &&
  "$src/configure" -prefix "$prefix" "${options[@]}" -- "${cmake_args[@]}" &&
  cmake --build . --parallel "$(nproc)" -- -k 0 &&
  cmake --install .
) > "$log" 2>&1 || {
  # Kept apart: a second try (the stage after a failed background build)
  # writes the log anew.
  cp "$log" "$log.failed"
  grep -n -m 20 -E 'error|FAILED' "$log" >&2 || true
  tail -n 40 "$log" >&2
  exit 1
}
rm -rf "$build"
# Qt's licence texts go with the libraries into what the program ships.
cp -r "$src/LICENSES" "$prefix/LICENSES"
printf '%s\n' "${options[@]}" > "$prefix/configure-options.txt"
touch "$prefix/.complete"
# Qts built from an earlier list are of no more use.
for old in "$cache/qt-$version-$name"-*; do
  [ "$old" = "$prefix" ] || [ ! -d "$old" ] || rm -rf "$old"
done
echo "Qt for $target built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
