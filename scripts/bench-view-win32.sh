#!/usr/bin/env bash
# Measures the memory pnghost.exe view needs under Wine to show a 16384 by
# 16384 RGB image (768 MiB in the host) and a 20000 by 20000 bitmap (48 MiB in
# the host): the viewer opens each file, fitted to its window; once the
# window's title names the file, Actual Size (Ctrl+1) and End paint it at
# 100% too, and the script reads the process's peak resident memory (VmHWM)
# from /proc before closing the window. (Its peak address space says
# nothing: Wine reserves most of the 32-bit space at the start.)
# Prints a Markdown table. Takes a minute or two and about 1 GB of disk; it
# is not part of the tests.
#
# usage: scripts/bench-view-win32.sh [WIN32_BUILD_DIR [LINUX_BUILD_DIR]]
#        (default build-win32 and build; the Linux pnghost makes the files)
#        KORVANE_X_DISPLAY=78 picks the first X display number to try (default 99)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh

if [ "${1:-}" != --inside ]; then
  win32_build=${1:-build-win32}
  linux_build=${2:-build}
  [ -x "$win32_build/bin/pnghost.exe" ] || KORVANE_BUILD_TARGETS="Korvane pnghost" scripts/build-win32.sh "$win32_build"
  [ -x "$linux_build/bin/pnghost" ] || KORVANE_BUILD_TARGETS="Korvane pnghost" scripts/build.sh "$linux_build"
  files=$(mktemp -d "$(cd "$win32_build" && pwd)/view-bench.XXXXXX")
  trap 'rm -rf "$files"' EXIT
  # A colour gradient that shifts from row to row, and a bitmap of stripes
  # that shift likewise.
  python3 - "$files" <<'PYTHON'
import sys
folder = sys.argv[1]
side = 16384
base = bytes((x * 7 + (x >> 4) * 13) & 0xFF for x in range(side * 3 + 256 * 3))
with open(folder + "/rgb.ppm", "wb") as out:
    out.write(b"P6\n%d %d\n255\n" % (side, side))
    for row in range(side):
        shift = (row * 3) % (256 * 3)
        out.write(base[shift:shift + side * 3])
side = 20000
stripes = bytes((0x0F, 0x33, 0x55, 0xF0) * (side // 32 + 2))
with open(folder + "/bitmap.pbm", "wb") as out:
    out.write(b"P4\n%d %d\n" % (side, side))
    for row in range(side):
        out.write(stripes[row % 4:row % 4 + side // 8])
PYTHON
  linux_pnghost=$(cd "$linux_build/bin" && pwd)/pnghost
  (cd "$files" && "$linux_pnghost" save rgb.ppm rgb.png >/dev/null && "$linux_pnghost" save bitmap.pbm bitmap.png >/dev/null)
  rm -f "$files/rgb.ppm" "$files/bitmap.pbm"
  pnghost=$(cd "$win32_build/bin" && pwd)/pnghost.exe
  timeout --kill-after=10 600 xvfb-run -a -n "${KORVANE_X_DISPLAY:-99}" -s "-screen 0 1024x768x24" \
    "$0" --inside "$pnghost" "$files"
  exit
fi

pnghost=$2 files=$3
if ! wineserver -p; then
  echo "bench-view-win32: a Wine server is running in $WINEPREFIX already; the viewer needs one started on this display" >&2
  exit 1
fi
trap 'wineserver -k >/dev/null 2>&1 || true; timeout 30 wineserver -w || true' EXIT

# status_kib PID FIELD: a memory field of /proc/PID/status, in KiB.
status_kib() { awk -v field="$2:" '$1 == field { print $2 }' "/proc/$1/status"; }

# await_window PATTERN: the id of the first visible window whose name matches, waiting up to 120 s.
await_window() {
  local tries id
  for ((tries = 0; tries < 1200; tries++)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# measure NAME WHAT: shows NAME.png; prints a table row.
measure() {
  local name=$1 what=$2 viewer frame process hwm
  (cd "$files" && exec wine "$pnghost" view "$name.png") >"$files/$name.log" 2>&1 &
  viewer=$!
  frame=$(await_window "^$name\\.png @ ") || { echo "bench-view-win32: $name.png did not show" >&2; cat "$files/$name.log" >&2; exit 1; }
  xdotool windowfocus --sync "$frame" key ctrl+1 && sleep 1
  xdotool windowfocus --sync "$frame" key End && sleep 1
  # The process that runs pnghost.exe: the wine command started it, or
  # became it.
  process=$viewer
  for candidate in $viewer $(pgrep -P "$viewer" || true); do
    grep -qa 'pnghost\.exe' "/proc/$candidate/cmdline" 2>/dev/null && process=$candidate
  done
  hwm=$(status_kib "$process" VmHWM)
  xdotool windowfocus --sync "$frame" key alt+F4
  wait "$viewer" || { echo "bench-view-win32: pnghost.exe view $name.png ended with an error" >&2; exit 1; }
  printf '| %s | %s MiB |\n' "$what" "$(awk "BEGIN { printf \"%.0f\", $hwm / 1024 }")"
}

echo "| pnghost.exe view | peak resident (VmHWM) |"
echo "|---|---:|"
measure rgb "16384 x 16384 RGB (768 MiB in the host)"
measure bitmap "20000 x 20000 bitmap (48 MiB in the host)"
