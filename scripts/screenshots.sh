#!/usr/bin/env bash
# Photographs the module's dialogs as Windows draws them from the real
# templates: the Windows build under Wine on an X server (Xvfb), the person
# lingering at each dialog while ImageMagick takes the screen. Saves
# options.png (the "PNG Options" dialog), about.png (the about box) and
# alert.png (the alert for a host without the buffer suite) into
# BUILD_DIR/screenshots.
# usage: scripts/screenshots.sh [WIN32_BUILD_DIR]   (default build-win32)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh
win32_build=${1:-build-win32}
scripts/setup-win32.sh >/dev/null
scripts/build-win32.sh "$win32_build" >/dev/null
shots=$(mkdir -p "$win32_build/screenshots" && cd "$win32_build/screenshots" && pwd)
bin=$(cd "$win32_build/bin" && pwd)
suite=$(cd "${PNGSUITE_DIR:-../shared/pngsuite}" && pwd)

# Runs inside the X session: one picture per pnghost command.
cat >"$shots/take.sh" <<'INNER'
set -euo pipefail
shots=$1 bin=$2 suite=$3
source "$4"
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# photograph NAME WINDOW_NAME ARGS...: runs pnghost ARGS with the person
# lingering, waits for the named window to be on the screen, and takes it.
photograph() {
  local name=$1 window=$2 waited=0
  shift 2
  (cd "$shots" && timeout 60 wine "$bin/pnghost.exe" --linger 4000 "$@" >/dev/null 2>&1) &
  local program=$!
  until xwininfo -root -tree 2>/dev/null | grep -q "\"$window\""; do
    sleep 0.2
    waited=$((waited + 1))
    [ "$waited" -lt 150 ] || { echo "screenshots: no window \"$window\" for $name" >&2; return 1; }
  done
  sleep 1.5  # the dialog sits on top of its owner once drawn
  import -window root "$shots/$name.png"
  wait "$program" || true
  echo "screenshots: $shots/$name.png"
}

photograph options "PNG Options" save "$suite/basn2c08.png" shot.png --cancel
photograph about pnghost about
photograph alert "PNG File Format" save "$suite/basn2c08.png" shot.png --without buffer-suite
INNER
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$shots/take.sh" "$shots" "$bin" "$suite" "$PWD/scripts/win32-env.sh"
rm -f "$shots/take.sh" "$shots/shot.png"
