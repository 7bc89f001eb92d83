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
# replay test (ctest -R fuzz.) and this script run it from then on. Each
# failure is named as a fault of the module (a broken rule, or a sanitizer
# report whose first frame of ours lies in plugin/ codec/ read/ write/
# fileinfo/ ui/) or of the harness (its own check failed, as when the system
# refused it a file; or the first frame in fuzz/ or tests/; one in the
# custom mutator leaves no input, as libFuzzer saves none while it
# mutates: the mutator test, ctest -R PngMutator, replays its regressions).
#
# Inputs may be 16 MiB long for the targets that open files, so that the
# large seeds (an 8.7 MB file among them) reach them whole; their mutator
# grows a file to 64 KiB at most and makes large images from small data.
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

# The first frame of a sanitizer report that lies in our sources, and whose
# fault it is.
fault_owner() {
  local frame
  frame=$(grep -m1 -oE "$PWD/(fuzz|tests|pnghost|win32|plugin|codec|read|write|fileinfo|ui)/[^ :]+:[0-9]+" "$1" ||
    true)
  case "${frame#"$PWD/"}" in
    "") echo "no frame of ours in the report: see $1" ;;
    fuzz/* | tests/*)
      if grep -q "LLVMFuzzerCustom" "$1"; then
        echo "the harness's (the custom mutator, ${frame#"$PWD/"}; libFuzzer saves no input while it mutates)"
      else
        echo "the harness's (${frame#"$PWD/"})"
      fi ;;
    pnghost/* | win32/*) echo "the test host's or the Win32 layer's (${frame#"$PWD/"})" ;;
    *) echo "the module's (${frame#"$PWD/"})" ;;
  esac
}

# Names the fault of a failed run from its log.
report_fault() {
  local target=$1 log=$2
  grep -E -A 30 "==[0-9]+==ERROR|runtime error|broke a rule|failed its own check|deadly signal" "$log" | head -n 60 ||
    true
  if grep -q "the harness failed its own check" "$log"; then
    echo "fuzz: $target: a fault of the harness's: it could not make what its check needs"
  elif grep -q "the module broke a rule" "$log"; then
    echo "fuzz: $target: a fault of the module's: it broke a rule the target checks"
  else
    echo "fuzz: $target: a fault of $(fault_owner "$log")"
  fi
  echo "fuzz: $target: crash input in $work/crashes/$target/"
}

# Stack traces for UndefinedBehaviorSanitizer's reports, so that their first
# frame can be placed.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

failed=()
for target in "${targets[@]}"; do
  program=fuzz_${target//-/_}
  binary=$build/bin/$program
  mkdir -p "$work/corpus/$target" "$work/crashes/$target"
  regressions=(fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "fuzz: $target: ${#regressions[@]} regression inputs"
    "$binary" "${regressions[@]}" >"$work/$target-regressions.log" 2>&1 || {
      failed+=("$target (regression input)"); report_fault "$target" "$work/$target-regressions.log"; continue; }
  fi
  echo "fuzz: $target: ${seconds} s"
  # A legal 32767-square interlaced RGBA file makes the module ask for a
  # 2 GiB store of even rows: above libFuzzer's default 2 GiB limit. (In 32
  # bits no request reaches 4 GiB; one the address space cannot give
  # returns null: fuzz/SanitizerOptions.cpp.)
  max_len=65536
  case $target in open | open-diff) max_len=$((16 << 20)) ;; esac
  status=0
  "$binary" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=4096 -artifact_prefix="$work/crashes/$target/" \
    -print_final_stats=1 "$work/corpus/$target" "$work/seeds/$target" >"$work/$target.log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|^#[0-9]+ +DONE" "$work/$target.log" || true
  # The target's own count of how its inputs ended.
  grep "^$program: " "$work/$target.log" || true
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    report_fault "$target" "$work/$target.log"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: FAILED: ${failed[*]}"
  exit 1
fi
echo "fuzz: all targets ran clean"
