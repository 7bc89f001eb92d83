#!/usr/bin/env bash
# Sets up the machine, then runs every test: a plain build (and a Release
# build, built only), the Windows build under Wine (compared file for file
# with the plain one), and the 32-bit sanitizer build (AddressSanitizer and
# UndefinedBehaviorSanitizer, sizes and pointers of 32 bits as in the DLL),
# on which the whole suite runs again and then the fuzz targets, for a
# bounded time.
#
# It reports stage by stage (scripts/stages.sh): a line as each starts, one
# as it ends with its time and count, and a table at the end; each stage's
# whole output is in its log under build/test-logs/. A failure shows the end
# of its log and stops the run.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stages.sh

run_tests() { (cd "$1" && ctest --output-on-failure --parallel "$(nproc)"); }
run_sanitized_tests() { ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests "$1"; }

stage_plan 8
stage "set up the machine" count_installed scripts/setup.sh
stage "plain build" count_targets scripts/build.sh build
stage "plain tests" count_tests run_tests build
# Release (-O3) is built too, warnings as errors, so that what the optimiser
# warns about is met here and not by someone building the project their own
# way. Its tests are the plain build's; they are not run again.
stage "Release build" count_targets scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release
# The Windows build under Wine: the DLL's exports, imports and resources, what
# both shipped files carry (the check's table, a package signed with a
# throwaway certificate, the bill of materials, stack cookies overwritten on
# purpose), the end-to-end suite, and the Linux and Windows builds compared
# file for file.
stage "Windows build under Wine" count_wine_checks scripts/test-wine.sh build build-win32
# One 32-bit sanitizer build serves the suite and the fuzz targets.
stage "32-bit sanitizer build" count_targets scripts/build-asan32.sh build-asan32
stage "32-bit sanitizer tests" count_tests run_sanitized_tests build-asan32
# Each fuzz target over its regression inputs, then a minute of fuzzing.
stage "fuzz targets, 60 s each" count_fuzz env KORVANE_FUZZ_BUILD=build-asan32 scripts/fuzz.sh 60
finish_stages
