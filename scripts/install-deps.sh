#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and run mimoran.
# Calls apt-get only when something is missing, so repeated runs are instant.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev
  libbenchmark-dev
  fonts-ipafont fonts-motoya-l-maruberi fonts-noto-cjk
  xvfb xauth
  clang libclang-rt-14-dev libfuzzer-14-dev
  desktop-file-utils appstream
  dpkg-dev file  # CPack runs dpkg-shlibdeps on the binary to fill in Depends
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
