#!/usr/bin/env bash
# Branch and line coverage of the module (plugin/ codec/ read/ write/
# fileinfo/ ui/) by the plain test suite and the fuzz corpora: builds with
# clang's source-based coverage in build-cov/ (a 64-bit build), runs ctest,
# runs every seed and, when present, every corpus input of the fuzz runs in
# build-asan32/fuzz-work/corpus/ (KORVANE_FUZZ_CORPORA names another folder)
# through its target once, and writes an HTML report to
# build-cov/coverage/index.html and a summary to build-cov/coverage/summary.txt.
#
#   scripts/coverage.sh [CTEST_ARGS...]     (e.g. -R fuzz. for a quick look)
#
# KORVANE_COVERAGE_BUILD names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-fuzz.sh
scripts/install-missing.sh coverage llvm  # llvm-profdata and llvm-cov

build=${KORVANE_COVERAGE_BUILD:-build-cov}
pngsuite=${KORVANE_PNGSUITE_DIR:-../shared/pngsuite}
corpora=${KORVANE_FUZZ_CORPORA:-build-asan32/fuzz-work/corpus}
scripts/build.sh "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKORVANE_COVERAGE=ON -DKORVANE_TESTS=ON

profiles=$(realpath "$build")/profiles
rm -rf "$profiles" "$build/coverage"
mkdir -p "$profiles" "$build/coverage"
export LLVM_PROFILE_FILE="$profiles/%p-%m.profraw"
(cd "$build" && ctest --output-on-failure "$@") || echo "coverage: some tests failed; the report covers what ran"

"$build/bin/fuzz_seeds" "$pngsuite" "$build/seeds"
for target in open fileinfo-export fileinfo-import open-diff save-roundtrip; do
  inputs=("$build/seeds/$target")
  [ -d "$corpora/$target" ] && inputs+=("$corpora/$target")
  "$build/bin/fuzz_${target//-/_}" -runs=0 -rss_limit_mb=4096 "${inputs[@]}" >"$build/coverage/$target.log" 2>&1 ||
    echo "coverage: $target failed on an input (see $build/coverage/$target.log)"
done

# A test that caps the file size or kills its child leaves a cut profile.
llvm-profdata merge -sparse -failure-mode=all "$profiles"/*.profraw -o "$build/coverage/merged.profdata"
module_sources=("$PWD"/plugin "$PWD"/codec "$PWD"/read "$PWD"/write "$PWD"/fileinfo "$PWD"/ui)
llvm-cov show "$build/bin/Korvane.8BI" -instr-profile="$build/coverage/merged.profdata" -show-branches=count \
  -format=html -output-dir="$build/coverage" "${module_sources[@]}"
llvm-cov report "$build/bin/Korvane.8BI" -instr-profile="$build/coverage/merged.profdata" "${module_sources[@]}" |
  tee "$build/coverage/summary.txt" | tail -n 1
echo "coverage: report in $build/coverage/index.html"
