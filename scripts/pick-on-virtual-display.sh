#!/usr/bin/env bash
# Runs `orvane pick` on the current (virtual) display, photographs the
# chooser, then presses Enter as a user confirming the choice would.
#   pick-on-virtual-display.sh BIN_FOLDER SCREENSHOT.png
set -euo pipefail
bin=$1
shot=$2
QT_QPA_PLATFORM=xcb "$bin/orvane" pick --lang 2 &
pick=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "Choose Coordinate System" | head -n 1)
sleep 0.5
import -window root "$shot"
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers Return
wait "$pick"
