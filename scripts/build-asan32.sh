#!/usr/bin/env bash
# The sanitizer build: the module, the Win32 layer, pnghost, the tests and
# the fuzz targets as a 32-bit (ILP32) program, as the DLL computes its sizes
# and offsets, with clang under AddressSanitizer, UndefinedBehaviorSanitizer
# and libFuzzer's instrumentation (cmake/toolchain-i386-linux-gnu.cmake,
# -DKORVANE_FUZZ=ON). One build serves both the whole test suite and the
# fuzz targets; installs what it needs first (scripts/setup-fuzz.sh).
# usage: [KORVANE_BUILD_TARGETS="A B"] scripts/build-asan32.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-fuzz.sh
scripts/build.sh "$1" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i386-linux-gnu.cmake" -DKORVANE_FUZZ=ON
