#!/usr/bin/env bash
# Installs the Debian packages one stage of the work needs, and only those:
#
#   scripts/install-deps.sh [STAGE...]   (default: build)
#
# Several stages are installed together, with one apt-get run.
#
#   build    compile and run the program (make build, make run)
#   test     the test suites and the packaging checks (make test)
#   asan     the suites under AddressSanitizer and UBSan (make test-asan)
#   fuzz     the libFuzzer harnesses (make fuzz, make fuzz-short)
#   bench    the benchmarks (make bench)
#   package  the Debian package (make package)
#   windows  the Windows edition: Qt and the program cross-built, the suites
#            and the installer run under wine (make windows)
#   windows-shots  pictures of it in a real window (make windows-screenshots)
#   web      the browser edition and its tests in headless Chromium and in
#            WebKit's MiniBrowser under Xvfb (make web, make test-web)
#
# A stage adds its own packages to those of the stage it builds on. apt-get
# (through sudo when not root) runs only when something is missing, so
# repeated runs are instant.
set -euo pipefail

# Each stage: one array of what it adds, and in `builds_on` the stage whose
# packages it needs as well.
declare -A builds_on

stage_build=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev
  libqt6sql6-sqlite  # the learning record's database driver
  fonts-ipafont fonts-motoya-l-maruberi fonts-noto-cjk
)
# scripts/run.sh starts the program under Xvfb when there is no display.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  stage_build+=(xvfb xauth)
fi

builds_on[test]=build
stage_test=(
  desktop-file-utils appstream  # the desktop entry and metainfo checks
  dpkg-dev file                 # the package test: CPack runs dpkg-shlibdeps
  poppler-utils                 # the worksheet test reads its PDF back (pdfinfo, pdffonts, pdftotext)
)
# Node.js reads the page's scripts (the js_ tests), from Debian unless the
# machine has it already (another packaging of Node.js).
command -v node >/dev/null 2>&1 || stage_test+=(nodejs)

# The sanitizer and fuzzer runtimes go with the clang that `clang` brings.
clang_major=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n1)
clang_major=${clang_major:-14}

builds_on[asan]=build
stage_asan=(clang "libclang-rt-$clang_major-dev" poppler-utils)
command -v node >/dev/null 2>&1 || stage_asan+=(nodejs)

builds_on[fuzz]=build
stage_fuzz=(clang "libclang-rt-$clang_major-dev" "libfuzzer-$clang_major-dev")

builds_on[bench]=build
stage_bench=(
  libbenchmark-dev python3
  xvfb xauth  # the start-up, round-trip and waiting rows on a real X server
)

builds_on[package]=build
stage_package=(dpkg-dev file)

builds_on[windows]=build
stage_windows=(
  g++-mingw-w64-x86-64-posix wine64 wine nsis ninja-build
  dpkg-dev xz-utils tcl         # Qt's source and SQLite's from Debian's source packages
  xvfb xauth xdotool x11-utils  # the installer test finds the program's window
  poppler-utils                 # the worksheet suite reads its PDF back
)

builds_on[windows-shots]=windows
stage_windows_shots=(openbox imagemagick)

builds_on[web]=build
stage_web=(
  emscripten ninja-build dpkg-dev xz-utils python3-fonttools
  python3-brotli                # the site's Brotli copies
  poppler-utils                 # the downloaded worksheet read back
  chromium                      # the browser the test drives
  webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb  # WebKit (Safari's engine): its driver, MiniBrowser, a display
)
# Node.js and npm for the browser test's driver, from Debian unless the
# machine has them already (another packaging of Node.js).
command -v node >/dev/null 2>&1 || stage_web+=(nodejs)
command -v npm >/dev/null 2>&1 || stage_web+=(npm)

# Prints the packages of a stage and of the stages it builds on.
packages_of() {
  local stage=$1
  local var="stage_${stage//-/_}"
  if ! declare -p "$var" >/dev/null 2>&1; then
    echo "install-deps.sh: unknown stage '$stage'" >&2
    exit 2
  fi
  if [ -n "${builds_on[$stage]:-}" ]; then
    packages_of "${builds_on[$stage]}"
  fi
  local -n own="$var"
  printf '%s\n' "${own[@]}"
}

[ $# -gt 0 ] || set -- build
stage="$*"
mapfile -t packages < <(for s in "$@"; do packages_of "$s"; done | sort -u)
[ ${#packages[@]} -gt 0 ] || exit 2

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages for '$stage': ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
