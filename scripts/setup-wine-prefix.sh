#!/usr/bin/env bash
# Creates the 32-bit Wine prefix the Windows build runs in, once, with the
# settings that keep runs quick and unattended:
#  - graphics "x11,null": X11 when a display is there (screenshots), else
#    Wine's null display driver, where dialogs still run;
#  - X11 "Managed" N: windows are not handed to a window manager, else every
#    dialog close stalls about two seconds under a bare Xvfb;
#  - no crash dialog, which would hang a run on a crash;
#  - Wine's own fonts (Tahoma, MS Sans Serif, Marlett for the caption
#    buttons...) in the prefix's Fonts folder. Debian's Wine looks for them
#    under Z:\usr\share\wine\../fonts, a path Windows file names cannot hold
#    (".." is refused), so without these links every window falls back to
#    DejaVu Sans, whose wider letters clip dialog labels, and the caption
#    buttons show Marlett's letters "0 1 r" instead of its symbols.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/win32-env.sh"

# link_wine_fonts: links every font of Wine's data folder into the prefix's
# Fonts folder, which Wine loads first; run on every setup so that a prefix
# made before the links came gets them too.
link_wine_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts font
  [ -d "$fonts" ] || return 0
  for font in /usr/share/wine/fonts/*; do
    [ -e "$fonts/$(basename "$font")" ] || ln -s "$font" "$fonts/"
  done
}

stamp=$WINEPREFIX/.korvane-settings
if [ -f "$stamp" ]; then
  link_wine_fonts
  echo "setup-wine-prefix: $WINEPREFIX is ready"
  exit 0
fi
mkdir -p "$(dirname "$WINEPREFIX")"
echo "setup-wine-prefix: creating $WINEPREFIX"
DISPLAY= timeout 300 wineboot --init >/dev/null 2>&1 || true
timeout 60 wineserver -w || true
settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
cat > "$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="x11,null"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
DISPLAY= run_wine 120 regedit "$(winepath -w "$settings" 2>/dev/null)" >/dev/null 2>&1
run_wine 60 reg query 'HKCU\Software\Wine\Drivers' /v Graphics | grep -q 'x11,null'
link_wine_fonts
touch "$stamp"
echo "setup-wine-prefix: ready"
