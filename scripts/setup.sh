#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

# libssl-dev: OpenSSL 3, which reads the TLS keys and certificates.
# libcsv-dev: reading and writing the variables list as CSV.
# libpcap-dev: raw Ethernet frames for finding and naming devices on the network.
# xvfb and xauth: xvfb-run, for starting the program on a machine without a display.
# libxcb1-dev: the start benchmark watches for the first window on the X display.
# poppler-utils: pdftotext and pdftoppm, with which the tests read the report back.
# ccache: the builds (test.sh, scripts/windows.sh) compile through it.
# With --windows, also what the Windows build (scripts/windows.sh) needs: MinGW-w64 with POSIX threads
# and its tools, Wine (64-bit) for the Windows tests, NSIS for the installer,
# zip for the portable folder; ninja-build and dpkg-dev for building the
# Windows libraries from Debian's sources where no ready-made prefix is found.
packages=(cmake g++ make pkg-config qt6-base-dev libxcb1-dev qt6-translations-l10n libgl-dev libpugixml-dev libbenchmark-dev libcsv-dev libxml2-utils libssl-dev libpcap-dev xvfb xauth poppler-utils ccache)
if [ "${1:-}" = --windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis zip ninja-build dpkg-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
