#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Voltrix needs.
# Does nothing when all of them are present.
set -euo pipefail

packages=(
  # build
  cmake ninja-build ccache pkg-config g++ clang libclang-rt-14-dev python3
  qt6-base-dev qt6-serialport-dev qt6-svg-dev qt6-multimedia-dev
  libqt6svg6 qt6-qpa-plugins
  libxlsxwriter-dev libminizip-dev zlib1g-dev libgsf-1-dev
  fonts-dejavu-core
  # the windows in Japanese and Chinese: lupdate/lrelease, Qt's own dialogs translated
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # the Japanese and Chinese help documents: a CJK font whose PDF text extracts exactly
  fonts-wqy-microhei
  # run under a virtual display, screenshots; printed pages read back
  xvfb xauth poppler-utils
  # the Debian package: its dependencies (dpkg-shlibdeps), its desktop metadata checked
  dpkg-dev appstream
  # live readings: the MQTT client library and its TLS library; the broker, its clients and test certificates for the tests
  libmosquitto-dev libssl-dev mosquitto mosquitto-clients openssl
  # the desktop tests: a real window manager on the virtual display, driven by keys and clicks,
  # windows placed by xwininfo, the screen read by ImageMagick's import
  openbox xdotool wmctrl x11-utils imagemagick
  # workbooks read back by spreadsheet programs and a reader no one here wrote
  libreoffice-calc-nogui gnumeric python3-openpyxl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
