#!/usr/bin/env bash
# `orvane pick` as a user runs it: on a virtual display with a window manager,
# the chooser worked with real keystrokes (xdotool) through every way out of
# it (file dialogs, message boxes, the editor, the search list, Escape, the
# window manager's close), each run checked for its exit status and its
# whole output.
# The cases come in groups, each a test of its own on a display of its own,
# so that the groups run side by side and each stays short.
#   test_pick.sh BUILD_BIN_FOLDER GROUP    (files, keys, search, forms)
set -u
bin=$1
group=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/display.sh"
passed=0
failed=0
use_own_folders
start_display || { echo "0 passed, 1 failed"; exit 1; }

chooser="@Choose Coordinate System"
utm='PROJCS["WGS 84 / UTM zone 50N",GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",117],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],PARAMETER["false_northing",0],UNIT["metre",1]]'
echo "$utm" >"$work/utm.prj"

# The output of the last run: its lines, and whether it ends whole (a line end).
line() { sed -n "${1}p" "$work/out"; }
whole() { [ -s "$work/out" ] && [ "$(tail -c 1 "$work/out" | od -An -c | tr -d ' ')" = '\n' ]; }
empty() { [ ! -s "$work/out" ]; }
# The printed system is one GDAL reads, by the program's own reading.
readable() { "$bin/orvane" info "$(line 2)" >/dev/null 2>&1; }

# pick_case NAME STATUS CHECK STEPS ARGS...: runs `orvane pick ARGS` worked
# by STEPS; passes when it exits STATUS and CHECK (a shell condition) holds.
pick_case() {
  local name=$1 expected=$2 check=$3 steps=$4; shift 4
  rm -f "$work/out" "$work/err"
  run_driven "$steps" -- "$bin/orvane" pick "$@" >"$work/out" 2>"$work/err"
  if [ "$status" = "$expected" ] && eval "$check"; then
    passed=$((passed + 1)); echo "ok   $name"
  else
    failed=$((failed + 1)); echo "FAIL $name (exit $status, expected $expected)"
    sed 's/^/     out: /' "$work/out" | head -n 3; sed 's/^/     err: /' "$work/err" | head -n 5
  fi
}

# From the search field, Tab reaches (geographic): kind, system, New…,
# Import…, Save as .prj…, OK; (a handed-in projected system): kind, category,
# system, New…, method, parameter list, unit, metres per unit, Import… .
if [ "$group" = keys ]; then
pick_case "OK on the default prints WGS 84 and its WKT" 0 \
  'whole && [ "$(line 1)" = "WGS 84" ] && line 2 | grep -q "^GEOGCS\[\"WGS 84\"" && readable' \
  "$chooser
Return" --lang 2

fi

if [ "$group" = files ]; then
pick_case "Import… opened and cancelled, then OK" 0 \
  'whole && [ "$(line 1)" = "WGS 84" ] && readable' \
  "$chooser
Tab Tab Tab Tab space
@Select a Data Source
Escape
!Select a Data Source
$chooser
Tab Tab space" --lang 2

pick_case "Import… of a .prj, then OK" 0 \
  'whole && [ "$(line 1)" = "WGS 84 / UTM zone 50N" ] && readable' \
  "$chooser
Tab Tab Tab Tab space
@Select a Data Source
=$work/utm.prj
Return
!Select a Data Source
$chooser
Return" --lang 2

pick_case "Save as .prj (its message answered), then OK" 0 \
  'whole && [ "$(line 1)" = "WGS 84" ] && [ "$(cat "$work/saved.prj")" = "$(line 2)" ]' \
  "$chooser
Tab Tab Tab Tab Tab space
@Save Prj File
ctrl+a
=$work/saved.prj
Return
@Orvane
Return
!Orvane
$chooser
Return" --lang 2

pick_case "Save as .prj, then Cancel" 1 \
  'empty && [ -s "$work/cancelled.prj" ]' \
  "$chooser
Tab Tab Tab Tab Tab space
@Save Prj File
ctrl+a
=$work/cancelled.prj
Return
@Orvane
Return
!Orvane
$chooser
Escape" --lang 2

# Files that are not what they seem: a .prj over 1 MiB, one that names a pipe
# for PROJ to read (which would hang the chooser), a folder that is a file.
head -c 2000000 /dev/zero | tr '\0' ' ' >"$work/huge.prj"
mkfifo "$work/grid.gsb"
echo "+proj=longlat +ellps=WGS84 +nadgrids=\"$work/grid.gsb\"" >"$work/pipe.prj"
for hostile in huge pipe; do
  pick_case "Import… of the $hostile .prj: a message, then OK" 0 \
    'whole && [ "$(line 1)" = "WGS 84" ]' \
    "$chooser
Tab Tab Tab Tab space
@Select a Data Source
=$work/$hostile.prj
Return
@Orvane
Return
!Orvane
$chooser
Tab Tab space" --lang 2
done

pick_case "Save as .prj where no file can be: \"Save unsuccessfully!\", then OK" 0 \
  'whole && [ "$(line 1)" = "WGS 84" ]' \
  "$chooser
Tab Tab Tab Tab Tab space
@Save Prj File
ctrl+a
=$work/utm.prj/saved.prj
Return
@Orvane
Return
!Orvane
$chooser
Tab space" --lang 2

fi

if [ "$group" = keys ]; then
pick_case "\"Coordinate set error!\" for a scale of 0, mended, then OK" 0 \
  'whole && line 2 | grep -q "PARAMETER\[\"scale_factor\",0.5\]" && readable' \
  "$chooser
Tab Tab Tab Tab Tab Tab Down Down Down Down F2 ctrl+a 0 Return Tab Return
@Orvane
Return
!Orvane
$chooser
F2 ctrl+a 0 period 5 Return Tab Return" --wkt EPSG:32650

pick_case "the New… editor closed with Escape, then OK" 0 \
  'whole && [ "$(line 1)" = "WGS 84" ]' \
  "$chooser
Tab Tab Tab space
@New Geographic Coordinate System
Escape
!New Geographic Coordinate System
$chooser
Return" --lang 2

fi

if [ "$group" = search ]; then
pick_case "Ctrl+F, a code, Enter to choose it, Enter for OK" 0 \
  'whole && [ "$(line 1)" = "WGS 84 / UTM zone 50N" ] && line 2 | grep -q "AUTHORITY\[\"EPSG\",\"32650\"\]\]$"' \
  "$chooser
Tab ctrl+f 3 2 6 5 0 Return Return" --lang 2

pick_case "Ctrl+F, a world projection by name, Enter, Enter: ESRI's Mollweide" 0 \
  'whole && [ "$(line 1)" = "World_Mollweide" ] && readable' \
  "$chooser
Tab ctrl+f m o l l w e i d e Return Return" --lang 2

pick_case "Ctrl+F, a place, Down to the second system used there, Enter, Enter" 0 \
  'whole && [ "$(line 1)" = "WGS 84 / UTM zone 33N" ] && readable' \
  "$chooser
Tab ctrl+f 5 2 period 5 2 space 1 3 period 4 Down Return Return" --lang 2

pick_case "Ctrl+F, a city, Enter takes the system used there first, Enter" 0 \
  'whole && [ "$(line 1)" = "ETRS89 / UTM zone 33N" ] && readable' \
  "$chooser
Tab ctrl+f B e r l i n Return Return" --lang 2

pick_case "the search list closed with Escape, then Escape cancels" 1 'empty' \
  "$chooser
ctrl+f w g s Escape Escape" --lang 2

fi

if [ "$group" = keys ]; then
pick_case "Escape cancels: exit 1, nothing printed" 1 'empty' \
  "$chooser
Escape" --lang 2

# The window manager's key binding closes the window that has the focus.
pick_case "the window manager closes the window: exit 1, nothing printed" 1 'empty' \
  "$chooser
alt+F4" --lang 2

fi

if [ "$group" = forms ]; then
pick_case "OK on a handed-in file's system prints its name" 0 \
  'whole && [ "$(line 1)" = "WGS 84 / UTM zone 50N" ] && readable' \
  "$chooser
Return" --wkt-file "$work/utm.prj" --lang 7

# The height row, asked for: back from OK over Cancel, Save and Import to
# it, a vertical system typed by its name, taken, and OK.
pick_case "--height: DHHN92 typed in the height row, Enter, Enter: EPSG:5555" 0 \
  'whole && [ "$(line 1)" = "ETRS89 / UTM zone 32N + DHHN92 height" ] && line 2 | grep -q "^COMPD_CS\[" &&
   line 2 | grep -q "AUTHORITY\[\"EPSG\",\"5555\"\]\]$"' \
  "$chooser
shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
=dhhn92
Return Return" --wkt EPSG:25832 --height --lang 2

pick_case "the host may register GDAL's drivers itself" 0 'whole' \
  "$chooser
Return" --wkt "$utm" --host-registers-gdal

pick_case "--wkt takes what info takes; --format proj prints a PROJ string" 0 \
  'whole && [ "$(line 1)" = "WGS 84 / UTM zone 50N" ] && line 2 | grep -q "^+proj=utm +zone=50"' \
  "$chooser
Return" --wkt EPSG:32650 --format proj

pick_case "--json prints one object with the names, the code and the system" 0 \
  'whole && [ "$(wc -l <"$work/out")" = 1 ] && grep -q "\"code\":\"EPSG:4326\"" "$work/out" && grep -q "\"projjson\":{" "$work/out"' \
  "$chooser
Return" --wkt EPSG:4326 --json --format projjson

pick_case "EPSG:2056 (Swiss LV95) comes back, as WKT2 when asked" 0 \
  'whole && [ "$(line 1)" = "CH1903+ / LV95" ] && line 2 | grep -q "^PROJCRS\[" && line 2 >"$work/lv95.wkt2"' \
  "$chooser
Return" --wkt EPSG:2056 --format wkt2

pick_case "handed in as WKT2 and left unchanged: the very text back" 0 \
  'whole && [ "$(line 2)" = "$(cat "$work/lv95.wkt2")" ]' \
  "$chooser
Return" --wkt-file "$work/lv95.wkt2" --format wkt2

# A user's datum shift survives the way to a UTM zone: Projected, then UTM.
shifted='GEOGCS["Shifted",DATUM["Shifted_datum",SPHEROID["WGS 84",6378137,298.257223563],TOWGS84[10,20,30,0,0,0,0]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]]'
pick_case "a datum shift handed in survives Projected, then UTM" 0 \
  'whole && [ "$(line 1)" = "UTM Zone 31, Northern Hemisphere" ] && line 2 | grep -q "TOWGS84\[10,20,30,0,0,0,0\]" && readable' \
  "$chooser
Tab Down Tab Down Return" --wkt "$shifted" --lang 2

fi

if [ "$group" = keys ]; then
# The keyboard alone: Tab to the parameter list, Down to false_easting, F2, a
# new value, Enter; Tab leaves the list, Enter presses OK.
pick_case "the parameter list is worked with Tab, arrows, F2 and Enter" 0 \
  'whole && line 2 | grep -q "PARAMETER\[\"false_easting\",400000\]"' \
  "$chooser
Tab Tab Tab Tab Tab Tab Down F2 ctrl+a 4 0 0 0 0 0 Return Tab Return" --wkt EPSG:32650

# Output that cannot be written is a failure the user hears of.
run_driven "$chooser
Return" -- "$bin/orvane" pick --lang 2 >/dev/full 2>"$work/err"
if [ "$status" = 4 ] && grep -q "cannot write to standard output" "$work/err"; then
  passed=$((passed + 1)); echo "ok   OK with standard output on a full disk: exit 4 and a message"
else
  failed=$((failed + 1)); echo "FAIL OK with standard output on a full disk (exit $status)"
fi

# No display to be had: exit 3 and the reason, never Qt's abort.
while IFS='|' read -r name settings says; do
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE $settings \
    "$bin/orvane" pick >"$work/out" 2>"$work/err"
  got=$?
  if [ "$got" = 3 ] && [ "$(cat "$work/err")" = "orvane: no display to show the chooser on: $says" ] && empty; then
    passed=$((passed + 1)); echo "ok   $name: exit 3 and why"
  else
    failed=$((failed + 1)); echo "FAIL $name (exit $got)"; sed 's/^/     err: /' "$work/err" | head -n 3
  fi
done <<'CASES'
without a display|LANG=C.UTF-8|DISPLAY is not set
a display nobody serves|DISPLAY=:987|cannot connect to display :987
an unknown platform|QT_QPA_PLATFORM=bogus DISPLAY=:987|unknown platform 'bogus' (QT_QPA_PLATFORM)
CASES

fi

[ $((passed + failed)) -gt 0 ] || { echo "no cases in group '$group'"; exit 2; }
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
