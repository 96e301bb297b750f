#!/usr/bin/env bash
# The Windows program's start under Wine beside bare Qt programs built with
# the same toolchain, whole processes in alternated pairs (the Linux start
# benchmark's driver, bench/start/bench_start, times them): `sw40610.com
# --version` against a bare Qt core program, and the window until its first
# top-level window is mapped against a bare Qt window. Then the sizes of the
# zip and the installer.
#   scripts/windows-start-bench.sh [PAIRS]
# Needs the Linux build (build/test, for bench_start), the Windows program
# folder (dist/windows/sw40610, scripts/windows.sh) and an X display for the
# window part; without one it starts itself again under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
PAIRS=${1:-10}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$PAIRS"
fi
driver=$root/build/test/bench/bench_start
[ -x "$driver" ] || cmake --build build/test --target bench_start >/dev/null
export SW_MINGW_PREFIX=${SW_MINGW_PREFIX:-$("$root/scripts/windows-prefix.sh")}
# The two bare programs, built with the toolchain of the program.
bare=$root/build/win-bare
mkdir -p "$bare/src"
cat > "$bare/src/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(bare LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 23)
find_package(Qt6 REQUIRED COMPONENTS Core Widgets)
add_executable(bare_qt_core $root/bench/start/bare_qt_core.cpp)
target_link_libraries(bare_qt_core PRIVATE Qt6::Core)
add_executable(bare_qt_window WIN32 $root/bench/start/bare_qt_window.cpp)
target_link_libraries(bare_qt_window PRIVATE Qt6::Widgets)
CMAKE
cmake -S "$bare/src" -B "$bare/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$bare/build" -j2 >/dev/null
# Beside the program's own DLLs, as a user would have them.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r dist/windows/sw40610 "$work/program"
cp "$bare/build/bare_qt_core.exe" "$bare/build/bare_qt_window.exe" "$work/program/"

export WINEPREFIX=${SW_WINEPREFIX:-$root/build/wine/bench-prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wine-prefix.sh "$WINEPREFIX"
# One server for all the runs, as on a desktop where Wine is already up.
wineserver -p || true  # already up
trap 'wineserver -k; rm -rf "$work"' EXIT
wine=$(command -v wine)
"$driver" command "$PAIRS" -- "$wine" "$work/program/sw40610.com" --version -- "$wine" "$work/program/bare_qt_core.exe" --version
"$driver" window "$PAIRS" -- "$wine" "$work/program/sw40610.exe" -platform windows -- "$wine" "$work/program/bare_qt_window.exe" -platform windows
ls -l dist/windows/*.zip dist/windows/*-setup.exe | awk '{printf "%s %.1f MB\n", $NF, $5 / 1048576}'
