#!/usr/bin/env bash
# The program's main job, run under Wine: builds the installer and shows its
# window. On a display (DISPLAY set) the window stays until you close it
# (Alt+F4); without one it runs on a virtual display and a screenshot is saved
# to build/demo/window.png.
set -euo pipefail
cd "$(dirname "$0")"
root="$(pwd)"

tools/setup-host.sh
tools/build-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target TavrinSetup

exe="$root/build/win64/TavrinSetup.exe"
prefix="$root/build/demo/wine"
mkdir -p build/demo

if [[ -n "${DISPLAY:-}" ]]; then
  echo "demo: starting the installer on $DISPLAY"
  exec tools/wine-run.sh --prefix "$prefix" "$exe"
fi

source tools/xvfb.sh
trap 'WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; tavrin_stop_xvfb' EXIT
tavrin_start_xvfb
tools/wine-run.sh --prefix "$prefix" "$exe" &
app=$!
# Wait for the window to be mapped, then photograph the screen.
for _ in $(seq 1 60); do
  xwininfo -root -children 2>/dev/null | grep -q '601x427' && break
  sleep 0.5
done
sleep 1
import -window root -crop 601x427+339+298 +repage build/demo/window.png
echo "demo: screenshot saved to build/demo/window.png"
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
wait "$app" 2>/dev/null || true
