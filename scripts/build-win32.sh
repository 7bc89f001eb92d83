#!/usr/bin/env bash
# Configures and builds the 32-bit Windows module (Korvane.8BI), the test host
# (pnghost.exe) and the end-to-end suite (e2e_tests.exe) with the mingw-w64
# cross compiler, into the given directory (default build-win32). Run
# scripts/setup-win32.sh first. Extra arguments go to cmake.
# usage: [KORVANE_BUILD_TARGETS="A B"] scripts/build-win32.sh [BUILD_DIR [CMAKE_ARGS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh
build_dir=${1:-build-win32}
shift || true
zlib=$KORVANE_LIBPNG_WIN32
[ -f "$zlib/lib/libz.a" ] || zlib=/usr/i686-w64-mingw32
# libpng and zlib are linked statically, by full path: the DLL must not need
# their DLLs.
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DPNG_LIBRARY="$KORVANE_LIBPNG_WIN32/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$KORVANE_LIBPNG_WIN32/include" \
  -DZLIB_LIBRARY="$zlib/lib/libz.a" -DZLIB_INCLUDE_DIR="$zlib/include" \
  "$@" >/dev/null
# KORVANE_BUILD_TARGETS (names, space-separated) builds only those targets
# and what they need.
read -r -a targets <<<"${KORVANE_BUILD_TARGETS:-}"
cmake --build "$build_dir" --parallel "$(nproc)" ${targets[0]:+--target "${targets[@]}"}
