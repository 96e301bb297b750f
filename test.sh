#!/usr/bin/env bash
# Builds everything (tests and benchmarks) and runs every test through CTest:
# the Linux suite (GUI tests on the offscreen platform), then the Windows
# suite, the cross build's tests under Wine (scripts/windows.sh --test-only).
# --linux-only runs the first alone.
set -euo pipefail
cd "$(dirname "$0")"

windows=1
for arg in "$@"; do
  case $arg in
    --linux-only) windows=0 ;;
    *) echo "usage: ./test.sh [--linux-only]" >&2; exit 2 ;;
  esac
done

scripts/setup.sh
# ccache, where it is installed, keeps what an earlier build of the same
# sources compiled (another checkout too). Unity builds: the sources of a
# library are compiled a batch at a time, which roughly halves a cold build.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release -DSW_BUILD_TESTS=ON -DSW_BUILD_BENCH=ON \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 "${launcher[@]}" >/dev/null
cmake --build build/test -j"$(nproc)"
(cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

if [ $windows = 1 ]; then
  echo "The Windows suite (cross build, tests under Wine)"
  scripts/windows.sh --test-only
fi
