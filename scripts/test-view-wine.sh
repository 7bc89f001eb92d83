#!/usr/bin/env bash
# Drives pnghost.exe view under Wine on an X server (Xvfb) as a person would,
# with real keystrokes (xdotool):
#  0. pnghost.exe view FILE shows FILE, and with --fail-paint the place of
#     the image is background and the failed paint is reported; then
#     pnghost.exe, started with no arguments, shows its window, File > About
#     PNG... the module's about box over its centre, which a click closes, and
#  1. opens a large image, which shows whole, fitted to the window (1/2);
#     Actual Size (Ctrl+1) shows it at 100%, from its corner after Home, Ctrl
#     and the wheel zoom in to 200% around the pointer, and Fit to Window
#     (Ctrl+0) shows it whole again, centred;
#  2. opens a bitmap, a gray-with-alpha, an indexed and an RGB image from the
#     File menu, typing each path into the system's file dialog, and checks
#     from a screenshot that the window shows each image's pixels (alpha
#     blended over the viewer's checkerboard; scripts/screen-shows-image.py);
#     Fit to Window on the 32x32 RGB image scales it up by a whole factor,
#     crisp and centred, Actual Size shows it at 100%, Ctrl with the wheel
#     zooms in one step (200%) and Zoom Out (Ctrl+-) back; the zoom is in the
#     window's title;
#  3. saves the RGB image with Save As... (Ctrl+S), checking Interlace in the
#     module's options dialog with its mnemonic (Alt+I) and pressing Enter, and
#     checks the file with the open command: interlaced, and the same pixels;
#     a damaged file gives an error box and leaves the image shown;
#     Escape in the file dialog, and Escape in the options dialog, leave the
#     window as it was and write nothing;
#  4. opens a file saved with --iptc, types into File > File Info... after
#     the caption it shows and into the City, saves with "Write File Info"
#     checked, and the Linux pnghost open --json must read back the caption
#     as edited, the by-line as it was, the city typed, and a Source text
#     with a zero byte in it, left alone, whole (the module writes its
#     padding zeros as spaces);
#  5. closes the window with Alt+F4, and the program must end with status 0;
#  6. with room for one image only, opening a second lets the first go.
# The screenshots are kept in WIN32_BUILD_DIR/screenshots (view-*.png).
#
# Wine's windows here are not handed to a window manager (the prefix sets
# X11 "Managed" to N), so nothing gives them the keyboard: the script gives
# the X focus to the window it types into (xdotool windowfocus) before each
# keystroke, as a window manager would on a click.
#
# Runs its own Wine server on its own X display: a Wine server started
# without a display would make the viewer's windows invisible.
# Ends with "view: N passed, M failed"; exits non-zero when one failed.
#
# usage: scripts/test-view-wine.sh [WIN32_BUILD_DIR [LINUX_BUILD_DIR]]
#        (default build-win32 and build; the Linux pnghost is built when missing)
#        KORVANE_X_DISPLAY=78 picks the first X display number to try (default 99)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh

if [ "${1:-}" != --inside ]; then
  win32_build=${1:-build-win32}
  linux_build=${2:-build}
  [ -x "$win32_build/bin/pnghost.exe" ] || scripts/build-win32.sh "$win32_build"
  [ -x "$linux_build/bin/pnghost" ] || scripts/build.sh "$linux_build"
  bin=$(cd "$win32_build/bin" && pwd)
  linux_pnghost=$(cd "$linux_build/bin" && pwd)/pnghost
  shots=$(mkdir -p "$win32_build/screenshots" && cd "$win32_build/screenshots" && pwd)
  work=$(rm -rf "$win32_build/view" && mkdir -p "$win32_build/view" && cd "$win32_build/view" && pwd)
  suite=$(cd "${PNGSUITE_DIR:-../shared/pngsuite}" && pwd)
  exec timeout --kill-after=10 240 xvfb-run -a -n "${KORVANE_X_DISPLAY:-99}" -s "-screen 0 1024x768x24" \
    "$0" --inside "$bin" "$work" "$shots" "$suite" "$linux_pnghost"
fi

bin=$2 work=$3 shots=$4 suite=$5 linux_pnghost=$6
checker=$PWD/scripts/screen-shows-image.py
passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }
finish() {
  echo "view: $passed passed, $failed failed (log and files in $work)"
  [ "$failed" -eq 0 ]
  exit
}

if ! wineserver -p; then
  echo "view: a Wine server is running in $WINEPREFIX already; the viewer needs one started on this display" >&2
  exit 1
fi
trap 'wineserver -k >/dev/null 2>&1 || true; timeout 30 wineserver -w || true' EXIT

# Stops the run after a step that the next ones need, with a picture of the screen.
give_up() {
  fail "$*"
  import -window root "$shots/view-stuck.png" || true
  finish
}

# await COMMAND...: runs the command every 0.1 s until it succeeds, for up to
# 20 s; its output is that of the run that succeeded.
await() {
  local tries
  for ((tries = 0; tries < 200; tries++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# visible_window PATTERN: the id of the first visible window whose name matches.
visible_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
  [ -n "$id" ] && echo "$id"
}

# has_title WINDOW TITLE, title_matches WINDOW PATTERN, is_gone WINDOW
has_title() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
title_matches() { [[ "$(xdotool getwindowname "$1" 2>/dev/null)" =~ $2 ]]; }
is_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }

# await_window PATTERN, await_title WINDOW TITLE, await_gone WINDOW: each
# waits up to 20 s.
await_window() { await visible_window "$1"; }
await_title() { await has_title "$1" "$2"; }
await_gone() { await is_gone "$1"; }

# press WINDOW KEY...: the keys, one after another, into the window.
press() {
  local window=$1 key
  shift
  for key in "$@"; do
    xdotool windowfocus --sync "$window"
    xdotool key "$key"
    sleep 0.2
  done
}

# type_path DIALOG PATH: replaces the file name in a file dialog with the
# Windows form of PATH (Wine's drive Z: is the root) and presses Enter.
type_path() {
  xdotool windowfocus --sync "$1"
  xdotool key ctrl+a
  xdotool type --delay 5 "Z:${2//\//\\}"
  xdotool key Return
}

# shows NAME LABEL [ZOOM [--centred]]: a screenshot shows the image of
# NAME.pam in the viewer's window, at the zoom (N or 1/N, default 1), centred
# in the background around it if asked; the screen is taken again for up to
# 5 s while painting ends.
shows() {
  local tries geometry
  geometry=$(xdotool getwindowgeometry --shell "$frame")
  local X Y WIDTH HEIGHT
  eval "$(grep -E '^(X|Y|WIDTH|HEIGHT)=' <<<"$geometry")"
  for ((tries = 0; tries < 20; tries++)); do
    import -window root "$shots/view-$2.png"
    convert "$shots/view-$2.png" "$work/screen.ppm"
    if python3 "$checker" "$work/screen.ppm" "$work/$1.pam" "$X" "$Y" "$WIDTH" "$HEIGHT" "${@:3}" \
      >"$work/shows-$2.txt"; then
      pass
      return
    fi
    sleep 0.25
  done
  fail "$2: $(cat "$work/shows-$2.txt")"
}

pnghost() { (cd "$work" && timeout --kill-after=5 60 wine "$bin/pnghost.exe" "$@"); }

# await_about: prints the id of the module's about box, the viewer's one
# window without a caption, waiting up to 20 s for it.
await_about() { await about_window; }

# about_window: the id of the visible pnghost.exe window, not the viewer,
# that has no caption.
about_window() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^pnghost\.exe$' 2>/dev/null); do
    [ "$id" != "$frame" ] && [ -z "$(xdotool getwindowname "$id")" ] && { echo "$id"; return 0; }
  done
  return 1
}


# centre WINDOW: its centre on the screen, as "X Y".
centre() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}

images=(basn0g01:bitmap basn4a08:gray-alpha basn3p08:indexed basn2c08:rgb)
for entry in "${images[@]}"; do
  name=${entry%%:*}
  pnghost open "$suite/$name.png" --pam "$name.pam" >/dev/null 2>&1 || give_up "$name: the open command failed"
done

# start_viewer ARGS...: runs pnghost.exe ARGS in the background ($viewer).
start_viewer() {
  (cd "$work" && exec timeout --kill-after=5 150 wine "$bin/pnghost.exe" "$@") >>"$work/view.log" 2>&1 &
  viewer=$!
}

# close_viewer WHAT: Alt+F4 closes the window, and the program ends with 0.
close_viewer() {
  local status=0
  press "$frame" alt+F4
  wait "$viewer" || status=$?
  [ "$status" -eq 0 ] && pass || fail "$1 ended with status $status after Alt+F4"
}

# A large image of its own: 960 x 640, larger than the window; its top-left
# 256 x 256 corner is what shows at actual size, and its 128 x 128 pixels
# from (100, 75) on are what shows at the window's corner after Ctrl and the
# wheel zoom in around its pixel (200, 150).
python3 - "$work" <<'PY'
import sys
def write_pam(path, width, height, pixel):
    with open(path, "wb") as out:
        out.write(f"P7\nWIDTH {width}\nHEIGHT {height}\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n".encode())
        out.write(bytes(c for y in range(height) for x in range(width) for c in pixel(x, y)))
pixel = lambda x, y: (x * 255 // 959, y * 255 // 639, (x * 7 + y * 13) % 256)
write_pam(sys.argv[1] + "/large.pam", 960, 640, pixel)
write_pam(sys.argv[1] + "/large-corner.pam", 256, 256, pixel)
write_pam(sys.argv[1] + "/large-zoomed.pam", 128, 128, lambda x, y: pixel(x + 100, y + 75))
PY
pnghost save large.pam large.png >/dev/null 2>&1 || give_up "large: the save command failed"
# A file with captions, for the File Info dialog, and a Source text with a
# zero byte in it (a zTXt chunk put in before IDAT), which the module reads
# as a dataset padded with zeros after the text.
pnghost save "$suite/basn2c08.png" captioned.png --iptc "120=Harbour at dawn" --iptc "80=Ann Example" \
  --file-info >/dev/null 2>&1 || give_up "captioned: the save command failed"
python3 - "$work/captioned.png" <<'PY'
import struct, sys, zlib
path = sys.argv[1]
png = open(path, "rb").read()
data = b"Source\0\0" + zlib.compress(b"Archive\0 2")
chunk = struct.pack(">I", len(data)) + b"zTXt" + data + struct.pack(">I", zlib.crc32(b"zTXt" + data))
at = png.index(b"IDAT") - 4
open(path, "wb").write(png[:at] + chunk + png[at:])
PY

start_viewer view "$suite/basn2c08.png"
frame=$(await_window '^basn2c08\.png @ 100%$') || give_up "pnghost.exe view FILE showed no window named after the file"
shows basn2c08 view-file
close_viewer "pnghost.exe view FILE"

# A paint that fails says so, and the place of the image shows the
# background (Windows' application workspace gray), not what was on the
# screen before: with the host's fault knob --fail-paint, the image shows at
# 100%, then every paint fails once Fit to Window zooms it in.
start_viewer view "$suite/basn2c08.png" --fail-paint
frame=$(await_window '^basn2c08\.png @ 100%$') || give_up "pnghost.exe view FILE --fail-paint showed no window"
shows basn2c08 before-paint-failed
press "$frame" ctrl+0
if await grep -q "basn2c08.png: part of the image is not shown: the system could not draw" "$work/view.log"; then
  read -r x y <<<"$(centre "$frame")"
  sleep 0.5
  import -window root "$shots/view-paint-failed.png"
  pixel=$(convert "$shots/view-paint-failed.png" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info:)
  [ "$pixel" = 128,128,128 ] && pass || fail "paint-failed: the image's place shows $pixel, not the background"
else
  fail "paint-failed: no word of the failed paint in view.log"
fi
close_viewer "pnghost.exe view FILE --fail-paint"

# Started bare, as a double-click starts it.
start_viewer
frame=$(await_window '^pnghost$') || give_up "pnghost.exe with no arguments showed no window"
pass

# The about box sits over the viewer's centre (the viewer is its parent) and
# goes with a click.
press "$frame" alt+f p
about=$(await_about) || give_up "File > About PNG... showed no about box"
import -window root "$shots/view-about.png"
read -r about_x about_y <<<"$(centre "$about")"
read -r frame_x frame_y <<<"$(centre "$frame")"
if [ $((about_x - frame_x)) -ge -2 ] && [ $((about_x - frame_x)) -le 2 ] && [ $((about_y - frame_y)) -ge -2 ] &&
  [ $((about_y - frame_y)) -le 2 ]; then
  pass
else
  fail "the about box's centre is $about_x,$about_y, the viewer's $frame_x,$frame_y"
fi
xdotool mousemove --window "$about" 20 20 click 1
await_gone "$about" && pass || give_up "a click did not close the about box"

# open_file PATH: File > Open... and the path typed into the file dialog.
open_file() {
  press "$frame" alt+f o
  dialog=$(await_window '^Open$') || give_up "File > Open... showed no file dialog for $1"
  type_path "$dialog" "$1"
}

open_file "$work/large.png"
await_title "$frame" "large.png @ 50%" || give_up "the large image did not open fitted at 50%"
shows large open-large 1/2 --centred
press "$frame" ctrl+1
await_title "$frame" "large.png @ 100%" || give_up "Actual Size (Ctrl+1) did not zoom the large image to 100%"
press "$frame" Home
shows large-corner actual-large
# shown_at LABEL: where the last check of LABEL found the image, as "X Y".
shown_at() { sed -E 's/.* shown at ([0-9]+),([0-9]+) .*/\1 \2/' "$work/shows-$1.txt"; }
read -r x y <<<"$(shown_at actual-large)"
xdotool windowfocus --sync "$frame" mousemove --sync $((x + 200)) $((y + 150)) keydown ctrl click 4 keyup ctrl
await_title "$frame" "large.png @ 200%" || give_up "Ctrl and the wheel did not zoom the large image to 200%"
shows large-zoomed wheel-large 2
[ "$(shown_at wheel-large)" = "$x $y" ] && pass ||
  fail "wheel-large: the zoom was not around the pointer: the picture's corner is at $(shown_at wheel-large), not $x $y"
press "$frame" ctrl+0
await_title "$frame" "large.png @ 50%" || give_up "Fit to Window (Ctrl+0) did not fit the large image at 50%"
shows large fit-large 1/2 --centred

for entry in "${images[@]}"; do
  name=${entry%%:*} label=${entry##*:}
  open_file "$suite/$name.png"
  await_title "$frame" "$name.png @ 100%" || give_up "$label: the window's title did not become $name.png @ 100%"
  shows "$name" "$label"
done

# The 32x32 RGB image fitted: a whole factor, crisp and centred.
press "$frame" ctrl+0
await title_matches "$frame" '^basn2c08\.png @ [1-9][0-9]*00%$' ||
  give_up "Fit to Window (Ctrl+0) gave the small image no whole factor: '$(xdotool getwindowname "$frame")'"
percent=$(xdotool getwindowname "$frame")
percent=${percent##* @ }
shows basn2c08 fit-small $((${percent%\%} / 100)) --centred
# The View menu open over it, photographed for the README (view-menu.png).
press "$frame" alt+v
import -window root "$shots/view-menu.png"
press "$frame" Escape Escape
press "$frame" ctrl+1
await_title "$frame" "basn2c08.png @ 100%" || give_up "Actual Size (Ctrl+1) did not come back to 100%"
shows basn2c08 actual-small 1 --centred
# Ctrl and one wheel notch up, over the image, zoom in one step.
read -r x y <<<"$(centre "$frame")"
xdotool windowfocus --sync "$frame" mousemove --sync "$x" "$y" keydown ctrl click 4 keyup ctrl
await_title "$frame" "basn2c08.png @ 200%" || give_up "Ctrl and the wheel did not zoom in to 200%"
shows basn2c08 wheel-zoom 2 --centred
press "$frame" ctrl+minus
await_title "$frame" "basn2c08.png @ 100%" || give_up "Zoom Out (Ctrl+-) did not come back to 100%"

# A file the module cannot read is an error box (captioned pnghost, naming
# the file), and the image shown before stays.
press "$frame" alt+f o
dialog=$(await_window '^Open$') || give_up "File > Open... showed no file dialog"
type_path "$dialog" "$suite/xcrn0g04.png"
box=$(await_window '^pnghost$') || give_up "a damaged file gave no error box"
import -window root "$shots/view-error.png"
press "$box" Return
await_gone "$box" || give_up "Enter did not close the error box"
[ "$(xdotool getwindowname "$frame")" = "basn2c08.png @ 100%" ] && shows basn2c08 after-error ||
  fail "after-error: the window's title is '$(xdotool getwindowname "$frame")'"

# unchanged WHAT: after a cancel the window still shows the RGB image under
# its own name, and no file was written.
unchanged() {
  local written
  written=$(find "$work" \( -name '*.png' -o -name '.*png*' \) ! -name large.png ! -name captioned.png | head -n 1)
  if [ "$(xdotool getwindowname "$frame")" = "basn2c08.png @ 100%" ] && [ -z "$written" ]; then
    shows basn2c08 "$1"
  else
    fail "$1: the window's title is '$(xdotool getwindowname "$frame")'; files: ${written:-none}"
  fi
}

press "$frame" ctrl+s
dialog=$(await_window '^Save As$') || give_up "Save As... (Ctrl+S) showed no file dialog"
press "$dialog" Escape
await_gone "$dialog" || give_up "Escape did not close the file dialog"
unchanged cancel-file-dialog

press "$frame" ctrl+s
dialog=$(await_window '^Save As$') || give_up "Save As... (Ctrl+S) showed no file dialog"
type_path "$dialog" "$work/cancelled.png"
options=$(await_window '^PNG Options$') || give_up "no options dialog after the file dialog"
press "$options" alt+i Escape
await_gone "$options" || give_up "Escape did not close the options dialog"
unchanged cancel-options

press "$frame" ctrl+s
dialog=$(await_window '^Save As$') || give_up "Save As... (Ctrl+S) showed no file dialog"
type_path "$dialog" "$work/saved.png"
options=$(await_window '^PNG Options$') || give_up "no options dialog after the file dialog"
press "$options" alt+i
import -window root "$shots/view-options.png"
press "$options" Return
await_title "$frame" "saved.png @ 100%" || give_up "the window's title did not become saved.png after the save"
[ "$(od -An -tu1 -j28 -N1 "$work/saved.png" | tr -d ' ')" = 1 ] && pass || fail "saved.png is not interlaced"
pnghost open saved.png --pam saved.pam >/dev/null 2>&1 && cmp -s "$work/saved.pam" "$work/basn2c08.pam" && pass ||
  fail "saved.png does not open with the pixels of basn2c08.png"

# File Info: the dialog shows the captions of a file saved with --iptc; the
# person types after the caption and into the City (Alt+Y), presses Enter,
# and saves with Write "File Info" checked (Tab from Interlace, Space).
open_file "$work/captioned.png"
await_title "$frame" "captioned.png @ 100%" || give_up "captioned.png did not open"
press "$frame" alt+f i
info=$(await_window '^File Info$') || give_up "File > File Info... showed no dialog"
import -window root "$shots/view-file-info.png"
press "$info" End
xdotool type --delay 5 " (edited)"
press "$info" alt+y
xdotool type --delay 5 "Rome"
press "$info" Return
await_gone "$info" || give_up "Enter did not close the File Info dialog"
press "$frame" ctrl+s
dialog=$(await_window '^Save As$') || give_up "Save As... (Ctrl+S) showed no file dialog"
type_path "$dialog" "$work/edited.png"
options=$(await_window '^PNG Options$') || give_up "no options dialog after the file dialog"
press "$options" alt+i Tab space Return
await_title "$frame" "edited.png @ 100%" || give_up "the window's title did not become edited.png after the save"
"$linux_pnghost" open "$work/edited.png" --json >"$work/edited.json" 2>&1 || true
if python3 - "$work/edited.json" <<'PY'; then pass; else fail "edited.png: File Info read back: $(cat "$work/edited.json.fileinfo")"; fi
import json, sys
found = {d["dataset"]: d["text"] for d in json.load(open(sys.argv[1]))["fileInfo"]}
open(sys.argv[1] + ".fileinfo", "w").write(repr(found))
sys.exit(found.get(120) != "Harbour at dawn (edited)" or found.get(80) != "Ann Example" or found.get(90) != "Rome"
         or found.get(115) != "Archive   ")
PY

close_viewer pnghost.exe

# A host with room for one large image but not two (PNGHOST_IMAGE_MEMORY_MIB
# caps its image memory at 3 MiB; the image is 1.8 MiB): a second opened
# beside the first lets the first go, and shows.
cp "$work/large.png" "$work/large-again.png"
export PNGHOST_IMAGE_MEMORY_MIB=3
start_viewer view large.png
unset PNGHOST_IMAGE_MEMORY_MIB
frame=$(await_window '^large\.png @ 50%$') || give_up "pnghost.exe view large.png showed no window with 3 MiB for images"
open_file "$work/large-again.png"
await_title "$frame" "large-again.png @ 50%" ||
  give_up "with room for one image, the second did not show: the title is '$(xdotool getwindowname "$frame")'"
shows large one-at-a-time 1/2 --centred
close_viewer "pnghost.exe view with 3 MiB for images"
finish
