#!/usr/bin/env bash
# The magnifier keeping up with the pointer, timed inside nphost under Wine
# (bench/ is native; this one needs the Windows plug-in): an A4 page at
# 300 dpi, Group 4, in the largest magnifier (the whole monitor) at 1600
# percent; nphost's time-pointer step prints the median of 200 pointer moves
# to the finished repaint and of as many StretchDIBits of the window's size.
# Needs the win64 build of npmrv64 and nphost.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work="$top/build/bench-magnifier"
mkdir -p "$work"
# Forty-three lines of typed text over the page.
lines=()
for y in $(seq 300 70 3300); do
  lines+=(-annotate "+200+$y" "Line $y of an A4 letter at 300 dpi, as a fax or a scanner delivers it.")
done
convert -size 2480x3508 xc:white -font DejaVu-Sans -fill black -pointsize 42 "${lines[@]}" \
  -monochrome -density 300 -units PixelsPerInch -compress Group4 "$work/a4.tif"
cat >"$work/pointer.scn" <<SCENARIO
load
setting name=zoomsize dword=5
setting name=zscalepct dword=1600
embed id=b src=a4.tif fit=width toolbar=off mousemode=zoom
stream
mouse x=200 y=200
time-pointer class=KOBTiffZClass moves=${MOVES:-200}
key escape
SCENARIO
run() { "$top/scripts/wine-run" "$top/build/win64/tools/nphost/nphost.exe" \
          --plugin "$top/build/win64/src/npmrv64.dll" "$work/pointer.scn" | grep time-pointer; }
export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix}"
if [ -n "${DISPLAY:-}" ]; then
  run
else
  . "$top/scripts/xvfb-lib"
  start_xvfb
  trap stop_xvfb EXIT
  run
fi
