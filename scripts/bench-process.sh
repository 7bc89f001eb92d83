#!/usr/bin/env bash
# The whole-process benchmark: `pnghost open` against a bare libpng decode
# of the same file into a whole-image buffer (bench/BareDecode.cpp), and
# `pnghost open --out` against netpbm's pngtopam and ImageMagick's convert
# writing the same picture as netpbm, on the benchmark's 4096x4096 RGB, RGB
# interlaced and gray images. Each figure is the fastest of the runs
# (hyperfine, after a warm-up); the ratios are against the first line of
# each group. Not part of the tests.
#
#   scripts/bench-process.sh [RUNS]      (default 10)
#
# KORVANE_BENCH_BUILD names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
scripts/setup-bench.sh

build=${KORVANE_BENCH_BUILD:-build-bench}
scripts/build.sh "$build" -DKORVANE_BENCH=ON -DKORVANE_TESTS=OFF >/dev/null

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
echo "making the images (the in-process benchmark, one run)..." >&2
"$build/bin/bench" --files "$files" --reps 1 >/dev/null

pnghost=$build/bin/pnghost
bare=$build/bin/bare_decode
# Debian's ImageMagick binary itself, not whatever `convert` a PATH puts first.
convert=$(command -v convert-im6.q16 || command -v convert)
out=$files/out

# fastest NAME COMMAND: the fastest of the runs, in seconds.
fastest() {
  hyperfine --style none --warmup 1 --runs "$runs" --export-json "$files/run.json" -n "$1" "$2" >/dev/null
  jq '.results[0].min' "$files/run.json"
}

declare -A seconds
images=(RGB RGB-adam7 gray)
for image in "${images[@]}"; do
  png=$files/$image.png
  seconds[open,$image]=$(fastest open "$pnghost open $png")
  seconds[bare,$image]=$(fastest bare "$bare $png")
  seconds[out,$image]=$(fastest out "$pnghost open $png --out $out")
  seconds[pngtopam,$image]=$(fastest pngtopam "pngtopam $png > $out")
  seconds[convert,$image]=$(fastest convert "$convert $png PAM:$out")
done

# row LABEL KEY BASE: one line of the table, each time with its ratio to BASE's.
row() {
  local line="| $1 |" image
  for image in "${images[@]}"; do
    line+=$(awk -v s="${seconds[$2,$image]}" -v b="${seconds[$3,$image]}" \
      'BEGIN { printf " %.0f ms (%.2f) |", s * 1000, s / b }')
  done
  echo "$line"
}

echo "Fastest of $runs runs, 4096x4096; in brackets the ratio to the first line of the group."
echo
echo "| command | RGB | RGB Adam7 | gray |"
echo "|---|---:|---:|---:|"
row 'bare libpng decode into a whole-image buffer (`bare_decode`)' bare bare
row '`pnghost open`' open bare
row '`pnghost open --out OUT`' out out
row '`pngtopam > OUT`' pngtopam out
row '`convert IN PAM:OUT`' convert out
