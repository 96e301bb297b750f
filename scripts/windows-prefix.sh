#!/usr/bin/env bash
# Prints the folder of the Windows libraries' prefix (Qt, OpenSSL, pugixml,
# libcsv, the pcap headers for MinGW-w64), making it first where it is
# missing. Used by scripts/windows.sh and the scripts beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# The Windows libraries: unpacked from the ready-made archive beside the
# checkout once per machine, into a cache folder named by the archive's
# checksum that every checkout shares (a fresh clone, CI); or built by the
# project's own recipe into build/sw-mingw where there is no archive. A
# checkout that already has build/sw-mingw keeps using it, as does
# SW_MINGW_PREFIX when it is set.
archive=$root/../shared/windows/sw-mingw-sysroot.tar.xz
if [ -n "${SW_MINGW_PREFIX:-}" ]; then
  prefix=$SW_MINGW_PREFIX
elif [ -f "$root/build/sw-mingw/.complete" ] || [ ! -f "$archive" ]; then
  prefix=$root/build/sw-mingw
else
  cache=${SW_MINGW_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sw40610}
  prefix=$cache/sw-mingw-$(sha256sum "$archive" | cut -c1-16)
fi
if [ ! -f "$prefix/.complete" ]; then
  mkdir -p "$(dirname "$prefix")"
  exec 8>"$prefix.lock"
  flock 8
  if [ ! -f "$prefix/.complete" ]; then
    rm -rf "$prefix" "$prefix.part"
    if [ -f "$archive" ]; then
      echo >&2 "Unpacking the Windows libraries from $archive into $prefix"
      mkdir -p "$prefix.part"
      tar -C "$prefix.part" -xJf "$archive"
      mv "$prefix.part/sw-mingw" "$prefix"
      rmdir "$prefix.part"
    else
      echo >&2 "No ready-made Windows libraries: building them from Debian's sources (about an hour)"
      scripts/windows-sysroot.sh "$prefix" >&2
    fi
    touch "$prefix/.complete"
  fi
  flock -u 8
fi
echo "$prefix"
