#!/usr/bin/env bash
# Installs the build into a fresh prefix, builds a tiny host without Qt, a C
# host (pkg-config) and the README's Qt host against what was installed,
# imports the Python module from there, and runs the tiny
# host (its name query, then the chooser twice on a virtual display, with a
# file dialog and a message box in between) and the installed program.
#   test_install.sh BUILD_FOLDER SOURCE_FOLDER [HOST_LINKER_FLAGS]
set -eu
build=$1
source=$2
linker_flags=${3:-}
work=$(mktemp -d)
# The user's own settings are neither read nor written: Qt's file dialog
# keeps its last folder there, the chooser its recent systems.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state
. "$source/tests/e2e/display.sh"
# Clean-up that fails (a program still closing its files) fails no test.
trap 'stop_display 2>/dev/null || true; rm -rf "$work" || true' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source/tests/install/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/host" >/dev/null
out=$("$work/host/host")
[ "$out" = "WGS 84 / UTM zone 50N" ] || { echo "host printed: $out"; echo "0 passed, 1 failed"; exit 1; }
for f in lib/orvane/libOrvane.so lib/orvane/libOrvaneUI.so lib/orvane/CoordSys.dat lib/orvane/SearchTerms.txt lib/orvane/Land.txt \
         lib/orvane/GDAL_Data/gdal_datum.csv include/Orvane.h include/OrvaneLanguageSet.h include/OrvaneReference.h \
         include/OrvaneSearch.h include/OrvaneDisplay.h; do
  [ -e "$work/prefix/$f" ] || { echo "not installed: $f"; echo "0 passed, 1 failed"; exit 1; }
done
"$work/prefix/bin/orvane" info EPSG:4326 | grep -q '^Coordinate system: WGS 84$'
# The C API: a C99 host built with pkg-config alone.
# shellcheck disable=SC2046  # pkg-config's words are flags
cc -std=c99 -Wall -Wextra -pedantic -Werror "$source/examples/c-host/host.c" -o "$work/c-host" $linker_flags \
  $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --define-variable=prefix="$work/prefix" --cflags --libs orvane)
[ "$("$work/c-host" | head -n 1)" = "WGS 84 / UTM zone 50N" ] || { echo "the C host"; echo "0 passed, 1 failed"; exit 1; }
# Python finds the library from where both were installed, with no path given.
named=$(env -u ORVANE_LIBRARY PYTHONPATH="$work/prefix/lib/python3/dist-packages" LD_PRELOAD="${ORVANE_PYTHON_PRELOAD:-}" \
  ASAN_OPTIONS=detect_leaks=0 /usr/bin/python3 -c "import orvane; print(orvane.info('EPSG:32633').name)")
[ "$named" = "WGS 84 / UTM zone 33N" ] || { echo "python printed: $named"; echo "0 passed, 1 failed"; exit 1; }

# The chooser twice from one object in a program without a QApplication,
# under a German locale that Qt would otherwise impose on the host: Import…
# opened and cancelled, then OK; then Save as .prj with its message, then OK.
start_display
chooser="@Choose Coordinate System"
set +e
run_driven "$chooser
Tab Tab Tab Tab space
@Select a Data Source
Escape
!Select a Data Source
$chooser
Tab Tab space
$chooser
Tab Tab Tab Tab Tab space
@Save Prj File
ctrl+a
=$work/host.prj
Return
@Orvane
Return
!Orvane
$chooser
space" -- env LC_ALL=de_DE.UTF-8 "$work/host/host" --choose-twice >"$work/twice.out" 2>"$work/twice.err"
set -e
expected=$(printf '1 WGS 84\n1 WGS 84\n1.5')
if [ "$status" != 0 ] || [ "$(cat "$work/twice.out")" != "$expected" ] || [ ! -s "$work/host.prj" ]; then
  echo "the host without Qt: exit $status, printed:"; cat "$work/twice.out" "$work/twice.err"
  echo "1 passed, 1 failed"; exit 1
fi
# The README's Qt host builds against the package as it stands.
cmake -S "$source/examples/qt-host" -B "$work/qt-host" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/qt-host" >/dev/null
[ -x "$work/qt-host/qt-host" ] || { echo "the Qt host did not build"; echo "2 passed, 1 failed"; exit 1; }
echo "3 passed, 0 failed"
