#!/usr/bin/env bash
# Makes the Wine prefix the Windows programs are tested in (default
# build/wine/prefix): a 64-bit prefix whose programs draw offscreen unless
# told otherwise (Wine does not hand QT_QPA_PLATFORM from the Linux
# environment to every program, so it is set in the prefix's environment).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${1:-$here/build/wine/prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
mkdir -p "$WINEPREFIX"
lock="$WINEPREFIX.lock"
exec 9>"$lock"
flock 9
if [ ! -f "$WINEPREFIX/.sw-ready" ]; then
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
  wine reg add 'HKCU\Environment' /v QT_LOGGING_RULES /d 'qt.qpa.*=false' /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.sw-ready"
fi
