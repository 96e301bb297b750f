#!/usr/bin/env bash
# Compiles the same configurations with the Linux program and with the
# Windows program from the zip (under Wine) and compares the banks byte for
# byte. Configurations: the largest the device takes, with and without TLS
# (bench/write_largest_configuration), and any folders given.
#   scripts/windows-compare-banks.sh [CONFIG_DIR...]
# Needs the Linux build (build/test) and dist/windows/*.zip (scripts/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
zip=$(ls dist/windows/sw40610-*-win64.zip | head -1)
unzip -q "$zip" -d "$work/zip"
build/test/bench/write_largest_configuration "$work/configs/Largest" >/dev/null
build/test/bench/write_largest_configuration "$work/configs/Plain" --no-tls >/dev/null
for c in "$@"; do cp -r "$c" "$work/configs/"; done
export WINEPREFIX=${SW_WINEPREFIX:-$root/build/wine/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wine-prefix.sh "$WINEPREFIX"
status=0
for config in "$work"/configs/*/; do
  name=$(basename "$config")
  cp -r "$config" "$work/linux-$name"
  cp -r "$config" "$work/windows-$name"
  build/test/src/sw40610 compile "$work/linux-$name" -q
  timeout 120 wine "$work/zip/sw40610/sw40610.com" compile "$(winepath -w "$work/windows-$name")" -q
  for bank in bank1.bin bank2.bin; do
    if cmp "$work/linux-$name/bin/$bank" "$work/windows-$name/bin/$bank"; then
      echo "$name/$bank: identical ($(stat -c %s "$work/linux-$name/bin/$bank") bytes)"
    else
      status=1
    fi
  done
done
exit $status
