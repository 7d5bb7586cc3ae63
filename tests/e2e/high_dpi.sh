#!/usr/bin/env bash
# At 144 DPI (150 %) the main window and its fonts are one and a half times
# their 96-DPI size: 560 x 400 becomes 840 x 600. Saves
# build/screenshots/high-dpi-main.png.
set -u
exe=$1
build=$2
export ORVELLO_WINEPREFIX="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wineprefix-dpi"
export WINEARCH=win32
source "$(dirname "${BASH_SOURCE[0]}")/lib/driving.bash"

if [ ! -f "$ORVELLO_WINEPREFIX/.orvello-dpi" ]; then
  "$run" --prepare
  "$run" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1 || fail "could not set the DPI"
  # The display's DPI is read when the server starts.
  WINEPREFIX="$ORVELLO_WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  touch "$ORVELLO_WINEPREFIX/.orvello-dpi"
fi
"$run" --prepare

"$run" "$exe" &
app=$!
ui wait-class MainFrame 60000 >/dev/null || fail "no main window"
sleep 1
import -window root "$shots/high-dpi-main.png" 2>/dev/null || true
window=$(xdotool search --name '^Orvello$' | head -n1)
[ -n "$window" ] || fail "xdotool finds no Orvello window"
size=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$size" = "840x600" ] || fail "main window is $size at 144 DPI, not 840x600"

click MainFrame btn_form_main_cancel
expect_exit Cancel
echo "PASS: 840x600 at 144 DPI"
