#!/usr/bin/env bash
# Sets up, builds, and runs the main job: the host program names a few
# spatial references, then opens the chooser. Without a display the chooser
# runs on a virtual one, is photographed, and is confirmed with Enter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --screenshots
scripts/build.sh build

build/bin/orvane info EPSG:4326 EPSG:32650 '+proj=merc +datum=WGS84 +units=m'
echo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Choose a coordinate system in the window (OK prints its name and WKT):"
  build/bin/orvane pick --lang 2
else
  echo "No display here: the chooser runs on a virtual display (Xvfb)."
  xvfb-run -a -s "-screen 0 1024x768x24" scripts/pick-on-virtual-display.sh build/bin build/chooser.png
  echo "Screenshot of the chooser: build/chooser.png"
fi
