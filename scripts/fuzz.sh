#!/usr/bin/env bash
# Builds the fuzz targets in the 32-bit sanitizer build (scripts/build-asan32.sh:
# clang, libFuzzer, ASan and UBSan, size_t and pointers of 32 bits as in the
# DLL; in build-asan32/, or KORVANE_FUZZ_BUILD), runs each target once over
# its checked-in regression inputs, then fuzzes each for a bounded time from
# seeds made from the PngSuite and the tests' pictures, and shows how its
# inputs ended, class by class, with the share that reached the target's
# comparison.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
#
# A crash leaves its input in build-asan32/fuzz-work/crashes/TARGET/; once the
# fault is fixed, the input goes into fuzz/regressions/TARGET/, where the
# replay test (ctest -R fuzz.) and this script run it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${KORVANE_FUZZ_BUILD:-build-asan32}
pngsuite=${KORVANE_PNGSUITE_DIR:-../shared/pngsuite}
targets=(open fileinfo-export fileinfo-import open-diff save-roundtrip)
programs=(fuzz_seeds)
for target in "${targets[@]}"; do programs+=("fuzz_${target//-/_}"); done
KORVANE_BUILD_TARGETS="${programs[*]}" scripts/build-asan32.sh "$build"

work=$build/fuzz-work
rm -rf "$work/seeds"
mkdir -p "$work"
"$build/bin/fuzz_seeds" "$pngsuite" "$work/seeds"

failed=()
for target in "${targets[@]}"; do
  program=fuzz_${target//-/_}
  binary=$build/bin/$program
  mkdir -p "$work/corpus/$target" "$work/crashes/$target"
  regressions=(fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "fuzz: $target: ${#regressions[@]} regression inputs"
    "$binary" "${regressions[@]}" >"$work/$target-regressions.log" 2>&1 || {
      failed+=("$target (regression input)"); tail -n 30 "$work/$target-regressions.log"; continue; }
  fi
  echo "fuzz: $target: ${seconds} s"
  # A legal 32767-square interlaced RGBA file makes the module ask for a
  # 2 GiB store of even rows: above libFuzzer's default 2 GiB limit. (In 32
  # bits no request reaches 4 GiB; one the address space cannot give
  # returns null: fuzz/SanitizerOptions.cpp.)
  status=0
  "$binary" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -artifact_prefix="$work/crashes/$target/" \
    -print_final_stats=1 "$work/corpus/$target" "$work/seeds/$target" >"$work/$target.log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|^#[0-9]+ +DONE" "$work/$target.log" || true
  # The target's own count of how its inputs ended.
  grep "^$program: " "$work/$target.log" || true
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
