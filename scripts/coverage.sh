#!/usr/bin/env bash
# Branch and line coverage of the module (plugin/ codec/ read/ write/
# fileinfo/ ui/) by the plain test suite and by the fuzzers, apart and
# together: builds with clang's source-based coverage in build-cov/ (a
# 64-bit build), runs ctest, then runs every seed and, when present, every
# corpus input of the fuzz runs in build-asan32/fuzz-work/corpus/
# (KORVANE_FUZZ_CORPORA names another folder, such as a campaign's) through
# its target once. It prints the module's branch coverage by the suite and
# by the fuzzers side by side, and writes to build-cov/coverage/:
#   index.html                   both together, file by file
#   summary.txt                  llvm-cov's table for both together
#   suite.txt, fuzz.txt          the tables for each alone
#   fuzz-unreached-branches.txt  every branch outcome the fuzzers never took
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
mkdir -p "$profiles/suite" "$profiles/fuzz" "$build/coverage"
export LLVM_PROFILE_FILE="$profiles/suite/%p-%m.profraw"
(cd "$build" && ctest --output-on-failure "$@") || echo "coverage: some tests failed; the report covers what ran"

export LLVM_PROFILE_FILE="$profiles/fuzz/%p-%m.profraw"
"$build/bin/fuzz_seeds" "$pngsuite" "$build/seeds"
for target in open fileinfo-export fileinfo-import open-diff save-roundtrip; do
  inputs=("$build/seeds/$target")
  [ -d "$corpora/$target" ] && inputs+=("$corpora/$target")
  # Without -max_len libFuzzer cuts inputs at 1 MiB.
  "$build/bin/fuzz_${target//-/_}" -runs=0 -max_len=$((16 << 20)) -rss_limit_mb=4096 "${inputs[@]}" \
    >"$build/coverage/$target.log" 2>&1 || echo "coverage: $target failed on an input (see $build/coverage/$target.log)"
done

# A test that caps the file size or kills its child leaves a cut profile.
for part in suite fuzz; do
  llvm-profdata merge -sparse -failure-mode=all "$profiles/$part"/*.profraw -o "$build/coverage/$part.profdata"
done
llvm-profdata merge -sparse "$build/coverage/suite.profdata" "$build/coverage/fuzz.profdata" \
  -o "$build/coverage/merged.profdata"
module_sources=("$PWD"/plugin "$PWD"/codec "$PWD"/read "$PWD"/write "$PWD"/fileinfo "$PWD"/ui)
module=$build/bin/Korvane.8BI
llvm-cov show "$module" -instr-profile="$build/coverage/merged.profdata" -show-branches=count \
  -format=html -output-dir="$build/coverage" "${module_sources[@]}"
for part in suite fuzz merged; do
  table=$build/coverage/$part.txt
  [ "$part" = merged ] && table=$build/coverage/summary.txt
  llvm-cov report "$module" -instr-profile="$build/coverage/$part.profdata" "${module_sources[@]}" >"$table"
done

# The TOTAL line's last three columns: branches, missed, cover.
branch_cover() { awk '/^TOTAL/ { print $(NF-2) - $(NF-1) " of " $(NF-2) " branch outcomes (" $NF ")" }' "$1"; }
echo "coverage: the module's branches taken by the plain suite: $(branch_cover "$build/coverage/suite.txt")"
echo "coverage: the module's branches taken by the fuzzers:     $(branch_cover "$build/coverage/fuzz.txt")"
echo "coverage: by both together:                             $(branch_cover "$build/coverage/summary.txt")"

# Each branch outcome the fuzzers never took, as file:line: the condition
# and which way it never went.
llvm-cov show "$module" -instr-profile="$build/coverage/fuzz.profdata" -show-branches=count -show-line-counts=false \
  "${module_sources[@]}" | awk -v root="$PWD/" '
    /^\/.*:$/ { file = substr($0, 1, length($0) - 1); sub(root, "", file) }
    /Branch \(/ {
      match($0, /Branch \([0-9]+:[0-9]+\)/); where = substr($0, RSTART + 8, RLENGTH - 9); split(where, at, ":")
      if ($0 ~ /True: 0,/) print file ":" at[1] ":" at[2] ": never true"
      if ($0 ~ /False: 0\]/) print file ":" at[1] ":" at[2] ": never false"
    }' | sort -u -t: -k1,1 -k2,2n -k3,3n >"$build/coverage/fuzz-unreached-branches.txt"
echo "coverage: $(wc -l <"$build/coverage/fuzz-unreached-branches.txt") branch outcomes the fuzzers never took:" \
  "$build/coverage/fuzz-unreached-branches.txt"
echo "coverage: report in $build/coverage/index.html"
