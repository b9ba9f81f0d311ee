#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program at run time need, on a
# freshly installed Debian 12 (scripts/fresh-check.sh proves it there).
#
#   scripts/bootstrap.sh [--fuzz] [--fresh-check]
#
# Safe to run again: it installs only what is missing, and never recommended packages, so every
# package anything here uses is named below. Uses sudo when not run as root.
set -euo pipefail

# The build: compilers, Qt and the libraries the code links (the desktop keyring's Qt library
# among them). The metafile library's link flags (pkg-config libwmf) also name expat and libjpeg,
# whose development packages libwmf-dev does not bring.
build=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libsqlite3-dev libexif-dev zlib1g-dev
  libwmf-dev libexpat1-dev libjpeg-dev
  libzip-dev
  libpq-dev
  qtkeychain-qt6-dev
)

# The program at run time, beyond the libraries it links: the Qt plugins it loads (the SQLite
# driver and the driver of a shared PostgreSQL database with its client library; TIFF and WebP
# pictures), the library that keeps a shared database's password in the desktop keyring, the
# fonts of the metafile library (it reads
# Ghostscript's font map, which it only recommends) and the fonts of the windows and charts
# (Chinese, Japanese and Korean names too). cmake/VtPackage.cmake names the same for the package.
runtime=(
  libqt6sql6-sqlite libqt6sql6-psql libpq5 libqt6keychain1 qt6-image-formats-plugins
  fonts-urw-base35 fonts-dejavu-core fonts-wqy-microhei
)

# The tests and the checks: PDF text and pages, the desktop entry and metainfo validators, file
# types; a virtual display for looking at the real window; the database server the tests of
# shared databases start in a temporary folder, with openssl for the certificate of its TLS test.
tests=(
  poppler-utils desktop-file-utils appstream file
  postgresql openssl
  xvfb xauth
)

packages=("${build[@]}" "${runtime[@]}" "${tests[@]}")
for option in "$@"; do
  case "$option" in
    # scripts/fuzz.sh: clang, its sanitizer and libFuzzer runtimes and the symbolizer; the
    # compiler cache CI builds through.
    --fuzz) packages+=(clang libclang-rt-14-dev llvm-14 ccache) ;;
    # scripts/fresh-check.sh: a minimal Debian root, chrooted into, with a clone of the project.
    --fresh-check) packages+=(debootstrap git util-linux) ;;
    *) echo "bootstrap: unknown option $option (known: --fuzz --fresh-check)" >&2; exit 2 ;;
  esac
done

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
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
