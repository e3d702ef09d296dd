#!/usr/bin/env bash
# The chooser heard as a screen reader hears it: its own D-Bus session bus
# and AT-SPI registry, `orvane pick` on a virtual display with a window
# manager and Qt's AT-SPI bridge on, the accessible tree walked with pyatspi
# (screen_reader.py) while real keys move the focus.
#   dbus-run-session -- test_screen_reader.sh BUILD_BIN_FOLDER
set -u
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/display.sh"
work=$(mktemp -d)
launcher=
trap '[ -z "$launcher" ] || kill "$launcher" 2>/dev/null; stop_display; rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_display || { echo "0 passed, 1 failed"; exit 1; }
# The accessibility bus, and its registry, as a desktop session starts them.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$bin/orvane" pick --wkt EPSG:32633 >"$work/out" 2>"$work/err" &
pid=$!
/usr/bin/python3 "$here/screen_reader.py"
result=$?
# Escape, sent last, cancels the chooser: it ends by itself.
if ! wait_until 60 eval '! kill -0 "$pid" 2>/dev/null'; then
  kill -9 "$pid" 2>/dev/null
  echo "the chooser did not end"
  result=1
fi
exit "$result"
