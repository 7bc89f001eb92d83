#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (module, Win32 layer and test host
# instrumented, under ASan and UBSan), runs each target once over its
# checked-in regression inputs, then fuzzes each for a bounded time from
# seeds made from the PngSuite and the tests' pictures.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
#
# A crash leaves its input in build-fuzz/fuzz-work/crashes/TARGET/; once the
# fault is fixed, the input goes into fuzz/regressions/TARGET/, where the
# replay test (ctest -R fuzz.) and this script run it from then on.
# KORVANE_FUZZ_BUILD names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-fuzz.sh

seconds=${1:-60}
build=${KORVANE_FUZZ_BUILD:-build-fuzz}
pngsuite=${KORVANE_PNGSUITE_DIR:-../shared/pngsuite}
scripts/build.sh "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF

work=$build/fuzz-work
rm -rf "$work/seeds"
mkdir -p "$work"
"$build/bin/fuzz_seeds" "$pngsuite" "$work/seeds"

failed=()
for target in open fileinfo-export fileinfo-import open-diff save-roundtrip; do
  binary=$build/bin/fuzz_${target//-/_}
  mkdir -p "$work/corpus/$target" "$work/crashes/$target"
  regressions=(fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "fuzz: $target: ${#regressions[@]} regression inputs"
    "$binary" "${regressions[@]}" >"$work/$target-regressions.log" 2>&1 || {
      failed+=("$target (regression input)"); tail -n 30 "$work/$target-regressions.log"; continue; }
  fi
  echo "fuzz: $target: ${seconds} s"
  # A legal 32767-square interlaced RGBA file makes the module ask for a
  # 2 GiB store of even rows: above libFuzzer's default 2 GiB limit.
  status=0
  "$binary" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -artifact_prefix="$work/crashes/$target/" \
    -print_final_stats=1 "$work/corpus/$target" "$work/seeds/$target" >"$work/$target.log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|^#[0-9]+ +DONE" "$work/$target.log" || true
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    grep -E -A 30 "==[0-9]+==ERROR|broke a rule|deadly signal" "$work/$target.log" | head -n 60 || true
    echo "fuzz: $target: crash input in $work/crashes/$target/"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: FAILED: ${failed[*]}"
  exit 1
fi
echo "fuzz: all targets ran clean"
