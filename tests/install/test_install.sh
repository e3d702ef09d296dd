#!/usr/bin/env bash
# Installs the build into a fresh prefix, builds a tiny host and the README's
# Qt host against the installed CMake package, and runs the tiny host and the
# installed program.
#   test_install.sh BUILD_FOLDER SOURCE_FOLDER [HOST_LINKER_FLAGS]
set -eu
build=$1
source=$2
linker_flags=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source/tests/install/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/host" >/dev/null
out=$("$work/host/host")
[ "$out" = "WGS 84 / UTM zone 50N" ] || { echo "host printed: $out"; echo "0 passed, 1 failed"; exit 1; }
for f in lib/orvane/libOrvane.so lib/orvane/libOrvaneUI.so lib/orvane/CoordSys.dat \
         lib/orvane/GDAL_Data/gdal_datum.csv include/Orvane.h include/OrvaneReference.h \
         include/OrvaneSearch.h; do
  [ -e "$work/prefix/$f" ] || { echo "not installed: $f"; echo "0 passed, 1 failed"; exit 1; }
done
"$work/prefix/bin/orvane" info EPSG:4326 | grep -q '^Coordinate system: WGS 84$'
# The README's Qt host builds against the package as it stands.
cmake -S "$source/examples/qt-host" -B "$work/qt-host" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/qt-host" >/dev/null
[ -x "$work/qt-host/qt-host" ] || { echo "the Qt host did not build"; echo "1 passed, 1 failed"; exit 1; }
echo "2 passed, 0 failed"
