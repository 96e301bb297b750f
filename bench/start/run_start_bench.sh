#!/usr/bin/env bash
# Start of the configurator beside bare Qt programs, whole processes in
# alternated pairs: `sw40610 --version` and `sw40610 check` of a 50-variable
# configuration against a bare Qt core program, and the window (until its
# first window is mapped; peak memory) against a bare Qt window.
#   bench/start/run_start_bench.sh [BUILD_DIR] [PAIRS]
# Needs an X display for the window part; without one it starts itself again
# under xvfb-run.
set -euo pipefail
BUILD=$(realpath "${1:-build/test}")
PAIRS=${2:-20}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$BUILD" "$PAIRS"
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# A program folder of its own, as the portable folder lays it out.
mkdir -p "$WORK/program/LANGUAGE"
cp "$BUILD/src/sw40610" "$BUILD/src/libsw40610_window.so" "$BUILD/src/libsw40610_crypto.so" "$WORK/program/"
cp "$BUILD/LANGUAGE/English.lng" "$WORK/program/LANGUAGE/"
"$BUILD/bench/write_largest_configuration" "$WORK/Largest" >/dev/null
"$BUILD/bench/write_largest_configuration" "$WORK/Plain" --no-tls >/dev/null
B="$BUILD/bench/bench_start"
"$B" command "$PAIRS" -- "$WORK/program/sw40610" --version -- "$BUILD/bench/bare_qt_core" --version
# check prints its findings on standard error; the driver throws both streams away.
"$B" command "$PAIRS" -- "$WORK/program/sw40610" check "$WORK/Plain" -- "$BUILD/bench/bare_qt_core" --version
"$B" command "$PAIRS" -- "$WORK/program/sw40610" check "$WORK/Largest" -- "$BUILD/bench/bare_qt_core" --version
unset QT_QPA_PLATFORM
"$B" window "$PAIRS" -- "$WORK/program/sw40610" -- "$BUILD/bench/bare_qt_window"
