#!/usr/bin/env bash
# Sets up the machine, builds, and runs the module through the test host as
# the editor would: the property list it registers with, a probe of the
# PngSuite, then real opens and saves (plain, interlaced, with File Info, with
# a monitor gamma), each saved file opened again through the module, and a
# save of an image made elsewhere (netpbm) with File Info typed in.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only what runs here: the module, the Win32 layer and pnghost, not the test
# suites and fuzz drivers (scripts/test.sh builds those).
KORVANE_BUILD_TARGETS="Korvane pnghost" scripts/build.sh build

pnghost=build/bin/pnghost
suite=${PNGSUITE_DIR:-../shared/pngsuite}
out=build/run
mkdir -p "$out"

echo "== property list"
"$pnghost" pipl

echo "== probe of $suite"
status=0
"$pnghost" probe "$suite"/*.png > "$out/probe.txt" || status=$?
# Exit 1 only says some files are not PNG: the suite damages a few signatures on purpose.
[ "$status" -le 1 ] || exit "$status"
echo "$(grep -c ': PNG' "$out/probe.txt") PNG files, $(grep -c 'not PNG' "$out/probe.txt") refused (see $out/probe.txt)"

echo "== open and save"
save() {  # save NAME [OPTIONS...]: open the suite's NAME.png, save it, open the copy
  local name=$1
  shift
  "$pnghost" open "$suite/$name.png" --pam "$out/$name.pam"
  "$pnghost" save "$suite/$name.png" "$out/$name.png" "$@"
  "$pnghost" open "$out/$name.png"
}
save basn2c08
save basn6a16 --interlace --filter Paeth
save basi3p08 --fast
save basn0g01
save ct1n0g04 --file-info
# With the editor's monitor gamma the open is gamma-corrected and the save
# carries gAMA and cHRM.
save basn0g08 --monitor-gamma 2.2

echo "== an image made elsewhere"
# The planes and palette the host received, saved again from netpbm with
# File Info typed in, and what the host receives from the saved file.
"$pnghost" open "$suite/basn3p08.png" --out "$out/indexed.pgm" --palette-out "$out/palette.ppm"
"$pnghost" save "$out/indexed.pgm" "$out/indexed.png" --palette "$out/palette.ppm" --interlace \
  --file-info --iptc "120=Made elsewhere" --date 19960305 --dpi 300
"$pnghost" open "$out/indexed.png" --json > "$out/indexed.json"
echo "what the host received: $out/indexed.json"

echo "== about box"
"$pnghost" about
