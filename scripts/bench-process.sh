#!/usr/bin/env bash
# The whole-process benchmark: `pnghost open` against a bare libpng decode
# of the same file into a whole-image buffer (bench/BareDecode.cpp), and
# `pnghost open --out` against netpbm's pngtopam and ImageMagick's convert
# writing the same picture as netpbm, on the benchmark's 4096x4096 RGB, RGB
# interlaced and gray images, with hyperfine after a warm-up: the fastest
# wall time of the runs, and the mean processor time, which a busy machine
# disturbs less. The ratios are against the first line of each group. Not
# part of the tests.
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

# measure KEY IMAGE COMMAND: the fastest wall time of the runs, and the mean
# processor time (user + system), in seconds.
declare -A wall cpu
measure() {
  hyperfine --style none --warmup 1 --runs "$runs" --export-json "$files/run.json" "$3" >/dev/null
  wall[$1,$2]=$(jq '.results[0].min' "$files/run.json")
  cpu[$1,$2]=$(jq '.results[0].user + .results[0].system' "$files/run.json")
}

images=(RGB RGB-adam7 gray)
for image in "${images[@]}"; do
  png=$files/$image.png
  measure bare "$image" "$bare $png"
  measure open "$image" "$pnghost open $png"
  measure out "$image" "$pnghost open $png --out $out"
  measure pngtopam "$image" "pngtopam $png > $out"
  measure convert "$image" "$convert $png PAM:$out"
done

# row LABEL KEY BASE: one line of the table, each wall time with its ratio
# to BASE's, then the processor time with its ratio.
row() {
  local line="| $1 |" image
  for image in "${images[@]}"; do
    line+=$(awk -v w="${wall[$2,$image]}" -v bw="${wall[$3,$image]}" -v c="${cpu[$2,$image]}" \
      -v bc="${cpu[$3,$image]}" 'BEGIN { printf " %.0f ms (%.3f), cpu %.0f ms (%.3f) |", w * 1000, w / bw, c * 1000, c / bc }')
  done
  echo "$line"
}

echo "4096x4096: the fastest of $runs runs (wall), and the mean processor time (user + system);"
echo "in brackets the ratio to the first line of the group."
echo
echo "| command | RGB | RGB Adam7 | gray |"
echo "|---|---:|---:|---:|"
row 'bare libpng decode into a whole-image buffer (`bare_decode`)' bare bare
row '`pnghost open`' open bare
row '`pnghost open --out OUT`' out out
row '`pngtopam > OUT`' pngtopam out
row '`convert IN PAM:OUT`' convert out
