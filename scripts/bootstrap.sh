#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev qt6-image-formats-plugins
  libgl-dev
  qt6-svg-dev
  pkg-config libexif-dev libwmf-dev zlib1g-dev
  libzip-dev
  poppler-utils
  fonts-dejavu-core fonts-wqy-microhei
  xvfb xauth
  desktop-file-utils appstream
  file
)

# scripts/fuzz.sh also needs clang, its sanitizer and libFuzzer runtimes and the symbolizer.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
