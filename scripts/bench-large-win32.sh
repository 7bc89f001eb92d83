#!/usr/bin/env bash
# Shows that the 32-bit pnghost.exe, large-address-aware, holds a 16384 by
# 16384 RGB image (768 MiB of pixels) under Wine: it saves the image from a
# netpbm file through the module, opens the PNG again through the module,
# and opens it once more writing the planes out, which must be the bytes it
# saved. Prints the time (wall clock, with the processor time) and the peak
# resident memory of each whole pnghost.exe process (GNU time) as a Markdown
# table. Takes a few minutes and 2.5 GB of disk; it is not part of the tests.
#
# usage: scripts/bench-large-win32.sh [SIDE]     (default 16384)
#   KORVANE_WIN32_BUILD names another build folder (default build-win32).
set -euo pipefail
cd "$(dirname "$0")/.."
side=${1:-16384}
win32_build=${KORVANE_WIN32_BUILD:-build-win32}
{
  scripts/setup-win32.sh
  scripts/install-missing.sh bench-large time
  KORVANE_BUILD_TARGETS="Korvane pnghost" scripts/build-win32.sh "$win32_build"
} >&2
source scripts/win32-env.sh
files=$(mktemp -d "$PWD/$win32_build/large.XXXXXX")
trap 'rm -rf "$files"' EXIT
pnghost=$(cd "$win32_build/bin" && pwd)/pnghost.exe

# A colour gradient that shifts from row to row, so that the filters and
# the compressor have real work and no two rows are alike.
python3 - "$side" "$files/in.ppm" <<'PYTHON'
import sys
side, path = int(sys.argv[1]), sys.argv[2]
base = bytes((x * 7 + (x >> 4) * 13) & 0xFF for x in range(side * 3 + 256 * 3))
with open(path, "wb") as out:
    out.write(b"P6\n%d %d\n255\n" % (side, side))
    for row in range(side):
        shift = (row * 3) % (256 * 3)
        out.write(base[shift:shift + side * 3])
PYTHON

# measure LABEL ARGS...: one run of pnghost.exe ARGS in the files' folder;
# prints a table row.
measure() {
  local label=$1 seconds user system kilobytes
  shift
  (cd "$files" && /usr/bin/time -f "%e %U %S %M" -o time wine "$pnghost" "$@" >out 2>err) || {
    echo "bench-large-win32: pnghost.exe $* failed:" >&2
    tr -d '\r' <"$files/err" >&2
    exit 1
  }
  read -r seconds user system kilobytes < <(tail -n 1 "$files/time")
  printf '| %s | %s s | %s s | %s MiB |\n' "$label" "$seconds" "$(awk "BEGIN { printf \"%.2f\", $user + $system }")" \
    "$(awk "BEGIN { printf \"%.0f\", $kilobytes / 1024 }")"
}

header=$(i686-w64-mingw32-objdump -p "$pnghost")
laa="NOT large-address-aware"
[[ $header == *"large address aware"* ]] && laa=large-address-aware
echo "$side x $side RGB, $(awk "BEGIN { printf \"%.0f\", $side * $side * 3 / 1048576 }") MiB of pixels; $laa pnghost.exe under Wine"
echo
echo "| pnghost.exe | time | processor | peak resident |"
echo "|---|---:|---:|---:|"
measure "save in.ppm out.png" save in.ppm out.png
measure "open out.png" open out.png
measure "open out.png --out back.ppm" open out.png --out back.ppm
cmp -s "$files/in.ppm" "$files/back.ppm" || { echo "bench-large-win32: the pixels read back differ from those saved" >&2; exit 1; }
echo
echo "The PNG: $(stat -c %s "$files/out.png") bytes; the pixels read back are the bytes saved."
