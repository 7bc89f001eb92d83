#!/usr/bin/env bash
# Creates the 32-bit Wine prefix the Windows build runs in, once, with the
# settings that keep runs quick and unattended:
#  - graphics "x11,null": X11 when a display is there (screenshots), else
#    Wine's null display driver, where dialogs still run;
#  - X11 "Managed" N: windows are not handed to a window manager, else every
#    dialog close stalls about two seconds under a bare Xvfb;
#  - no crash dialog, which would hang a run on a crash.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/win32-env.sh"

stamp=$WINEPREFIX/.korvane-settings
if [ -f "$stamp" ]; then
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
touch "$stamp"
echo "setup-wine-prefix: ready"
