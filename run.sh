#!/usr/bin/env bash
# Builds the configurator in release mode, installs the portable program
# folder dist/sw40610 and starts it from there.
set -euo pipefail
cd "$(dirname "$0")"

# Set-up first, so that xvfb-run is there when the advice below is followed.
scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start it with a display, or run it as: xvfb-run ./run.sh" >&2
  exit 1
fi

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSW_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
cmake --install build/release --prefix dist/sw40610 >/dev/null
exec dist/sw40610/sw40610
