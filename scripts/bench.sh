#!/usr/bin/env bash
# Builds the benchmark (optimised, no sanitizers), measures the module's open
# and save against bare libpng in process, then the whole pnghost program
# against netpbm's pngtopam and pnmtopng with hyperfine. Takes a few minutes;
# it is not part of the tests.
#
#   scripts/bench.sh [bench options]     (e.g. --reps 5, --level9, --side 2048)
#   scripts/bench.sh --win32 [...]        the Windows build under Wine: scripts/bench-win32.sh
#
# KORVANE_BENCH_BUILD names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --win32 ]; then
  shift
  exec scripts/bench-win32.sh "$@"
fi
scripts/setup-bench.sh

build=${KORVANE_BENCH_BUILD:-build-bench}
scripts/build.sh "$build" -DKORVANE_BENCH=ON -DKORVANE_TESTS=OFF

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT

echo "== In process: module against bare libpng"
"$build/bin/bench" --files "$files" "$@"

echo
echo "== Whole process: pnghost against netpbm"
for name in RGB RGB-adam7 gray; do
  png=$files/$name.png
  hyperfine --style basic --warmup 1 --runs 5 --export-markdown "$files/open-$name.md" \
    -n "pnghost open $name" "$build/bin/pnghost open $png" \
    -n "pngtopam $name" "pngtopam $png > /dev/null" >/dev/null
  # Both read the PNG, then write it again at zlib level 1 with adaptive
  # filtering over all five filters (the options dialog's default, and
  # pnmtopng's through libpng).
  hyperfine --style basic --warmup 1 --runs 5 --export-markdown "$files/save-$name.md" \
    -n "pnghost save --fast $name" "$build/bin/pnghost save $png $files/out.png --fast" \
    -n "pngtopam | pnmtopng $name" \
    "pngtopam $png | pnmtopng -compression=1 > $files/out.png" >/dev/null
  tail -n +3 "$files/open-$name.md"
  tail -n +3 "$files/save-$name.md"
done
