#!/usr/bin/env bash
# The whole-process benchmarks, with hyperfine after a warm-up: the fastest
# wall time of the runs, and the mean processor time, which a busy machine
# disturbs less. Not part of the tests.
#
# opens: `pnghost open` against a bare libpng decode of the same file into a
# whole-image buffer (bench/BareDecode.cpp), and `pnghost open --out` against
# netpbm's pngtopam and ImageMagick's convert writing the same picture as
# netpbm, on the benchmark's 4096x4096 RGB, RGB interlaced and gray images.
# The ratios are against the first line of each group.
#
# saves: `pnghost save` at Best Size (zlib level 9, adaptive filters) against
# netpbm's `pnmtopng -compression 9` and ImageMagick's `convert -quality 95`
# (level 9, adaptive filters), each reading the same netpbm file: two
# photographs, the benchmark's 1024x1024 photograph-like RGB image, a
# screenshot and a drawing; the size of each file written and each time with
# its ratio to pnghost's.
#
#   scripts/bench-process.sh [RUNS] [opens|saves]     (default 10 runs, both)
#
# KORVANE_BENCH_BUILD names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
part=${2:-all}
scripts/setup-bench.sh

build=${KORVANE_BENCH_BUILD:-build-bench}
# The saves need only the module, pnghost and the benchmark's images.
[ "$part" = saves ] && export KORVANE_BUILD_TARGETS="Korvane pnghost bench"
scripts/build.sh "$build" -DKORVANE_BENCH=ON -DKORVANE_TESTS=OFF >/dev/null

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT

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

opens() {
  echo "making the images (the in-process benchmark, one run)..." >&2
  "$build/bin/bench" --files "$files" --reps 1 >/dev/null
  images=(RGB RGB-adam7 gray)
  for image in "${images[@]}"; do
    png=$files/$image.png
    measure bare "$image" "$bare $png"
    measure open "$image" "$pnghost open $png"
    measure out "$image" "$pnghost open $png --out $out"
    measure pngtopam "$image" "pngtopam $png > $out"
    measure convert "$image" "$convert $png PAM:$out"
  done

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
}

# The PNG colour type a file was written with (IHDR's byte).
colour_type() {
  case $(od -An -tu1 -j25 -N1 "$1" | tr -d ' ') in
    0) echo gray ;; 2) echo RGB ;; 3) echo indexed ;; 4) echo gray+alpha ;; 6) echo RGBA ;; *) echo "?" ;;
  esac
}

saves() {
  # Two photographs (matplotlib's sample portrait and ImageMagick's built-in
  # rose), the benchmark's photograph-like image (light and shade with fine
  # grain), the viewer's screenshot from these docs, and ImageMagick's
  # built-in logo, a flat-coloured drawing; all as PPM, which each program
  # reads alike.
  "$convert" /usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg "PPM:$files/photo-portrait.ppm"
  "$convert" rose: "PPM:$files/photo-rose.ppm"
  "$build/bin/bench" --files "$files" --kind RGB --side 1024 --reps 1 >/dev/null
  pngtopam "$files/RGB.png" >"$files/bench-RGB.ppm"
  pngtopam docs/pnghost-view.png >"$files/screenshot-viewer.ppm"
  "$convert" logo: "PPM:$files/drawing-logo.ppm"
  local image ppm size pnghost_bytes line
  echo "Best Size against pnmtopng -compression 9 and convert -quality 95, from the same PPM:"
  echo "the file each writes (colour type; pnghost's size against it), and the mean processor"
  echo "time of $runs runs (pnghost's against it; below 1 pnghost is faster)."
  echo
  echo "| image | size | pnghost save (Best Size) | pnmtopng -compression 9 | convert -quality 95 | cpu: pnghost | pnmtopng | convert |"
  echo "|---|---|---:|---:|---:|---:|---:|---:|"
  for image in photo-portrait photo-rose bench-RGB screenshot-viewer drawing-logo; do
    ppm=$files/$image.ppm
    measure pnghost "$image" "$pnghost save $ppm $files/pnghost.png --size --filter Adaptive"
    measure pnmtopng "$image" "pnmtopng -compression 9 $ppm > $files/pnmtopng.png"
    measure convert "$image" "$convert $ppm -quality 95 $files/convert.png"
    size=$(pamfile -size "$ppm" | tr ' ' x)
    pnghost_bytes=$(stat -c %s "$files/pnghost.png")
    line="| $image | $size | $pnghost_bytes ($(colour_type "$files/pnghost.png")) |"
    for tool in pnmtopng convert; do
      line+=$(awk -v p="$pnghost_bytes" -v b="$(stat -c %s "$files/$tool.png")" -v t="$(colour_type "$files/$tool.png")" \
        'BEGIN { printf " %d (%s; %+.1f %%) |", b, t, (p / b - 1) * 100 }')
    done
    line+=$(awk -v c="${cpu[pnghost,$image]}" 'BEGIN { printf " %.1f ms |", c * 1000 }')
    for tool in pnmtopng convert; do
      line+=$(awk -v p="${cpu[pnghost,$image]}" -v c="${cpu[$tool,$image]}" \
        'BEGIN { printf " %.1f ms (%.2f) |", c * 1000, p / c }')
    done
    echo "$line"
  done
}

case $part in
  opens) opens ;;
  saves) saves ;;
  all) opens && echo && saves ;;
  *) echo "usage: $0 [RUNS] [opens|saves]" >&2; exit 2 ;;
esac
