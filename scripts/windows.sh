#!/usr/bin/env bash
# Builds the Windows x64 program on this Debian machine (MinGW-w64, the
# Windows libraries' prefix under build/sw-mingw) and writes
#   dist/windows/sw40610/                          the portable program folder
#   dist/windows/sw40610-VERSION-win64.zip         that folder as a zip
#   dist/windows/sw40610-VERSION-win64-setup.exe   the per-user installer (NSIS)
# With --test it also builds the Windows test programs and runs them under
# Wine (offscreen, each with a time-out), printing CTest's summary; the exit
# code is CTest's. --test-only runs the tests and writes no dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

test=0 dist=1
for arg in "$@"; do
  case $arg in
    --test) test=1 ;;
    --test-only) test=1 dist=0 ;;
    *) echo "usage: scripts/windows.sh [--test | --test-only]" >&2; exit 2 ;;
  esac
done
jobs=$(nproc)

scripts/setup.sh --windows

# The Windows libraries (see scripts/windows-prefix.sh).
prefix=$(scripts/windows-prefix.sh)

export SW_MINGW_PREFIX=$prefix
bdir=build/win
tests=OFF
[ $test = 1 ] && tests=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Unity builds, as test.sh: a library's sources compiled a batch at a time.
cmake -S . -B $bdir -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DSW_BUILD_TESTS=$tests -DSW_BUILD_BENCH=OFF -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 \
  "${launcher[@]}" >/dev/null
cmake --build $bdir -j"$jobs"

status=0
if [ $test = 1 ]; then
  scripts/wine-prefix.sh
  # Wine's server and its service processes (services.exe, explorer.exe and
  # the like) outlive the program that starts them and keep its output open:
  # started by a test, they would hold that test's output pipe, and CTest
  # would wait on it until the last program of the run had ended, past the
  # test's time-out. They are started here, apart, for the whole run.
  export WINEPREFIX=$root/build/wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  trap 'wineserver -k 2>/dev/null || true' EXIT
  (cd $bdir && ctest -j"$jobs" --output-on-failure --timeout 300) || status=$?
fi

if [ $dist = 1 ]; then
  scripts/windows-dist.sh "$bdir"
fi
exit $status
