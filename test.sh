#!/usr/bin/env bash
# Builds everything (tests and benchmarks) and runs every test through CTest;
# GUI tests run on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
# ccache, where it is installed, keeps what an earlier build of the same
# sources compiled (another checkout too).
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release -DSW_BUILD_TESTS=ON -DSW_BUILD_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build build/test -j"$(nproc)"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
