#!/usr/bin/env bash
# Installs the Debian packages Penlark needs to build, test and run.
# Printing tests run a CUPS scheduler of their own (cups-daemon; Qt's CUPS
# plugin comes with libqt6printsupport6) and read the printed PDFs back with
# poppler-utils. The print-shop PDF is finished with qpdf (libqpdf-dev); its
# tests also run the qpdf command. Its CMYK form converts colours with LittleCMS
# (liblcms2-dev); its tests read the plates back with ghostscript. The install test checks the desktop files
# with desktop-file-utils and appstream; the Debian package is made with dpkg-dev
# and checked with lintian. QR codes are read back with zbarimg (zbar-tools), an
# SVG one after Qt's SVG module (qt6-svg-dev) has drawn it.
# Idempotent: when everything is already installed it returns at once.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libbenchmark-dev
  libcurl4-openssl-dev python3-aiosmtpd xdg-utils
  clang libclang-rt-14-dev
  fonts-noto-cjk fonts-liberation2 fonts-arphic-ukai
  cups-daemon cups-client libcups2-dev poppler-utils
  libqpdf-dev qpdf liblcms2-dev ghostscript
  dpkg-dev desktop-file-utils appstream lintian
  libqrencode-dev zbar-tools qt6-svg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
