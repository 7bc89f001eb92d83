#!/usr/bin/env bash
# Sets up the machine, then runs every test: a plain build (and a Release
# build, built only), the Windows build under Wine (compared file for file
# with the plain one), a build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

scripts/build.sh build
(cd build && ctest --output-on-failure --parallel "$(nproc)")

# Release (-O3) is built too, warnings as errors, so that what the optimiser
# warns about is met here and not by someone building the project their own
# way. Its tests are the plain build's; they are not run again.
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release

# The Windows build under Wine: the DLL's exports, imports and resources, the
# end-to-end suite, and the Linux and Windows builds compared file for file.
scripts/test-wine.sh build build-win32

scripts/build.sh build-asan -DKORVANE_SANITIZE=ON
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --parallel "$(nproc)")

# Each fuzz target over its regression inputs, then a minute of fuzzing.
scripts/fuzz.sh 60
