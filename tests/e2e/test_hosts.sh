#!/usr/bin/env bash
# Hosts beyond C++, as their authors write them: a plain Python script (no
# Qt, no display), the README's PyQt6 window opening the chooser as its modal
# child, and the README's Tk window running `orvane pick --parent-window`.
# The window relation is read from the X server itself (WM_TRANSIENT_FOR,
# _NET_WM_STATE), on Xvfb with openbox, and the choice made with real keys.
#   test_hosts.sh [BUILD_BIN_FOLDER]   without it: the installed packages
set -u
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
if [ $# -ge 1 ]; then
  bin=$(cd "$1" && pwd)
  export ORVANE_LIBRARY=$bin/libOrvane.so PYTHONPATH=$source_dir/python PATH=$bin:$PATH
fi
# Debian's Python, whose PyQt6 and Tk these are (not a python3 of the user's);
# with the sanitizers' runtime first when the library is built with them.
python_run() { LD_PRELOAD=${ORVANE_PYTHON_PRELOAD:-} /usr/bin/python3 "$@"; }
. "$here/display.sh"
passed=0
failed=0
use_own_folders

check() {
  if eval "$2"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1"
    for f in "$work"/*.out "$work"/*.err; do [ -s "$f" ] && { echo "--- $f"; head -c 3000 "$f"; }; done
  fi
  rm -f "$work"/*.out "$work"/*.err
}

# 1. A script without Qt and without a display: names, searches, and is told
#    clearly that the chooser cannot be shown.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb LD_PRELOAD="${ORVANE_PYTHON_PRELOAD:-}" \
  /usr/bin/python3 "$here/../python/test_module.py" \
  >"$work/plain.out" 2>"$work/plain.err"
plain=$?
check "a plain Python script (tests/python/test_module.py)" '[ "$plain" = 0 ]'
named=$(python_run -c "import orvane; print(orvane.info('EPSG:32633').name)" 2>"$work/import.err")
check "import orvane; orvane.info('EPSG:32633').name" '[ "$named" = "WGS 84 / UTM zone 33N" ]'

start_display || { echo "0 passed, 1 failed"; exit 1; }

# The id of the newest visible window of that title, as a number.
window_id() { windows_named "$1" | tail -n 1; }
# The window WINDOW is transient for, as a number; empty for none.
transient_for() {
  xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p' |
    while read -r hex; do printf '%d\n' "$hex"; done
}
is_modal() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MODAL; }

# host_case NAME HOST_TITLE COMMAND...: runs a host, opens the chooser from
# its button, checks the relation, searches a code and confirms it, closes
# the host. Sets $relation ("transient modal" when both hold) and $status.
host_case() {
  local title=$2; shift 2
  "$@" >"$work/host.out" 2>"$work/host.err" &
  local pid=$! chooser host
  relation=
  status=125
  if act "@$title" && act space && act "@Choose Coordinate System"; then
    chooser=$(window_id "Choose Coordinate System")
    host=$(window_id "$title")
    [ "$(transient_for "$chooser")" = "$host" ] && relation="transient"
    is_modal "$chooser" && relation="$relation modal"
    act "Tab ctrl+f 3 2 6 5 0 Return Return" && act "!Choose Coordinate System" && act "@$title" && act alt+F4
  fi
  if wait_until 60 eval '! kill -0 "$pid" 2>/dev/null'; then
    wait "$pid"
    status=$?
  else
    kill -9 "$pid" 2>/dev/null
    status=124
  fi
}

# 2. PyQt6: the chooser is the main window's modal child, in its process.
host_case "PyQt6" "My PyQt GIS" python_run "$source_dir/examples/python/pyqt_host.py"
check "a PyQt6 QMainWindow: the chooser is its modal child, and hands back EPSG:32650 ($relation)" \
  '[ "$status" = 0 ] && [ "$relation" = "transient modal" ] &&
   [ "$(sed -n 1p "$work/host.out")" = "EPSG:32650" ] &&
   [ "$(sed -n 2p "$work/host.out")" = "WGS 84 / UTM zone 50N" ] &&
   sed -n 3p "$work/host.out" | grep -q "^PROJCS\[\"WGS 84 / UTM zone 50N\""'

# 3. Tk: another program's window, named by the id Tk gives (a window inside
#    the top-level one the window manager knows).
host_case "Tk" "My Tk GIS" python_run "$source_dir/examples/python/tk_host.py"
check "a Tk window passes its id to orvane pick --parent-window: transient for it, modal ($relation)" \
  '[ "$status" = 0 ] && [ "$relation" = "transient modal" ] &&
   [ "$(sed -n 1p "$work/host.out")" = "WGS 84 / UTM zone 50N" ] &&
   orvane info "$(sed -n 2p "$work/host.out")" | grep -qx "Code: EPSG:32650"'

# 4. A window id that cannot own the chooser: said, and the chooser is shown on its own.
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
for stray in "0x7ffffff:no window 0x7ffffff on this display" "$root:$root is the root window, no program's window"; do
  run_driven "@Choose Coordinate System
Escape" -- orvane pick --parent-window "${stray%%:*}" >"$work/stray.out" 2>"$work/stray.err"
  check "--parent-window ${stray%%:*}: said, the chooser shown anyway" \
    '[ "$status" = 1 ] && grep -qF "${stray#*:}; the chooser is a window of its own" "$work/stray.err"'
done

# 5. A Qt program without widgets: no dialog, said as such, never a hang.
python_run -c "
from PyQt6.QtCore import QCoreApplication
import orvane
app = QCoreApplication([])
try:
    orvane.pick()
except orvane.NoDisplay as error:
    print(error)
" >"$work/core.out" 2>"$work/core.err"
check "a QCoreApplication host gets NoDisplay" 'grep -qx "the program.s Qt application has no widgets" "$work/core.out"'

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
