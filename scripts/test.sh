#!/usr/bin/env bash
# Sets up the machine, then runs every test: a plain build (and a Release
# build, built only), the Windows build under Wine (compared file for file
# with the plain one), and the 32-bit sanitizer build (AddressSanitizer and
# UndefinedBehaviorSanitizer, sizes and pointers of 32 bits as in the DLL),
# on which the whole suite runs again and then the fuzz targets, for a
# bounded time. Each stage's time is shown as it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

stage() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "test.sh: $name: $((SECONDS - start)) s"
}
run_tests() { (cd "$1" && ctest --output-on-failure --parallel "$(nproc)"); }

stage "setup" scripts/setup.sh

stage "plain build" scripts/build.sh build
stage "plain tests" run_tests build

# Release (-O3) is built too, warnings as errors, so that what the optimiser
# warns about is met here and not by someone building the project their own
# way. Its tests are the plain build's; they are not run again.
stage "Release build" scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release

# The Windows build under Wine: the DLL's exports, imports and resources, the
# end-to-end suite, and the Linux and Windows builds compared file for file.
stage "Windows build and Wine" scripts/test-wine.sh build build-win32

# One 32-bit sanitizer build serves the suite and the fuzz targets.
stage "32-bit sanitizer build" scripts/build-asan32.sh build-asan32
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 stage "32-bit sanitizer tests" run_tests build-asan32

# Each fuzz target over its regression inputs, then a minute of fuzzing.
KORVANE_FUZZ_BUILD=build-asan32 stage "fuzz targets" scripts/fuzz.sh 60
