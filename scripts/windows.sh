#!/usr/bin/env bash
# `make windows`: Qt for Windows (built once into the cache), the program and
# its test suites cross-built with mingw-w64, the suites run under wine, the
# installer and the portable zip in build-win/, and the installer's own test.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${MIMORAN_CACHE:-$HOME/.cache/mimoran}

t0=$(date +%s)
MIMORAN_QT_WINDOWS=$(./scripts/build-qt.sh windows "$cache")
export MIMORAN_QT_WINDOWS
# A build tree made with an earlier Qt (the feature list changed) starts anew:
# CMake does not take a new toolchain into an existing cache.
if [ -f build-win/CMakeCache.txt ] && ! grep -qF "Qt6_DIR:PATH=$MIMORAN_QT_WINDOWS/" build-win/CMakeCache.txt; then
  rm -rf build-win/CMakeCache.txt build-win/CMakeFiles
fi
t1=$(date +%s)
cmake --preset windows
cmake --build --preset windows -j"$(nproc)"
cmake --build build-win --target windows_package
t2=$(date +%s)
ctest --preset windows ${CTEST_ARGS:-}
t3=$(date +%s)
ls -l build-win/mimoran-*-setup.exe build-win/mimoran-*-win64.zip
echo "Windows edition: Qt $((t1 - t0)) s, cross-build and installer $((t2 - t1)) s, tests under wine $((t3 - t2)) s"
