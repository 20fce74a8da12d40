#!/usr/bin/env bash
# The browser edition. Builds Qt for WebAssembly once into the cache, then the
# program and its static site in build-web/site/.
#   scripts/web.sh              build the site
#   scripts/web.sh test         build, then run the browser test (ctest label browser)
#   scripts/web.sh screenshots  build, test, and copy the browser pictures to docs/
#   scripts/web.sh serve [PORT] build, then serve the site on 127.0.0.1 (default 8080)
# The cache is ${MIMORAN_CACHE:-~/.cache/mimoran}.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${MIMORAN_CACHE:-$HOME/.cache/mimoran}
action=${1:-build}
cd "$here"

MIMORAN_QT_WASM=$(./scripts/build-qt.sh wasm "$cache")
export MIMORAN_QT_WASM
# A build tree made with an earlier Qt (the feature list changed) starts anew:
# CMake does not take a new toolchain into an existing cache.
if [ -f build-web/CMakeCache.txt ] && ! grep -qF "Qt6_DIR:PATH=$MIMORAN_QT_WASM/" build-web/CMakeCache.txt; then
  rm -rf build-web/CMakeCache.txt build-web/CMakeFiles
fi
. ./scripts/emsdk-env.sh "$cache"

cmake --preset web
cmake --build --preset web

npm_packages() {
  # Installed from the committed lock file, again only when it changed.
  local dir=tests/browser
  if [ ! -f "$dir/node_modules/.package-lock.json" ] || [ "$dir/package-lock.json" -nt "$dir/node_modules/.package-lock.json" ]; then
    npm ci --prefix "$dir" --no-audit --no-fund
  fi
}

case "$action" in
  build) ;;
  test|screenshots)
    npm_packages
    ctest --test-dir build-web/web -L browser --no-tests=error --output-on-failure
    echo "Load figures (build-web/browser-test/figures.json):"
    cat build-web/browser-test/figures.json
    if [ "$action" = screenshots ]; then
      cp build-web/browser-test/web-menu.png docs/web-menu.png
      cp build-web/browser-test/web-question.png docs/web-question.png
      cp build-web/browser-test/web-missed.png docs/web-missed.png
      cp build-web/browser-test/web-pad-landscape.png docs/web-pad-landscape.png
      cp build-web/browser-test/web-pad-portrait.png docs/web-pad-portrait.png
      for page in chromebook-1366x768-touch laptop-1024x520; do
        for screen in menu drill; do
          cp "build-web/browser-test/page-$page-$screen.png" "docs/web-$page-$screen.png"
        done
      done
    fi
    ;;
  serve)
    npm_packages
    exec node tests/browser/serve.mjs build-web/site "${2:-8080}"
    ;;
  *) echo "usage: $0 [build|test|screenshots|serve [PORT]]" >&2; exit 2 ;;
esac
