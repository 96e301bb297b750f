#!/usr/bin/env bash
# Runs one Windows program of the cross build under Wine, for CTest and for
# the build's own steps: in the project's Wine prefix (build/wine/prefix,
# made by scripts/windows.sh), never longer than SW_WINE_TIMEOUT seconds
# (default 280): without a display Qt's windows platform waits forever
# instead of failing, so no run may go unbounded. A run of many programs
# starts Wine's server and services apart first, as scripts/windows.sh does:
# otherwise the first program's output stays open until the run has ended.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${SW_WINEPREFIX:-$here/build/wine/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.sw-ready" ]; then
  "$here/scripts/wine-prefix.sh" "$WINEPREFIX" >&2 || exit 1
fi
# Programs a test copies into a folder of its own (the updater, the
# simulator) find the build's DLLs as an installed program finds its own:
# the build's program folder is on their PATH.
case ${1:-} in
  */*) dir=$(cd "$(dirname "$1")" && pwd)
       export WINEPATH="Z:${dir//\//\\}${WINEPATH:+;$WINEPATH}" ;;
esac
exec timeout -k 10 "${SW_WINE_TIMEOUT:-280}" wine "$@"
