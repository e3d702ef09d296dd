#!/usr/bin/env bash
# Builds the Debian packages liborvane, liborvane-dev and orvane into
# build-deb/ (release build, /usr prefix) and, when lintian is installed,
# prints what it says of them.
#   build-packages.sh [BUILD_FOLDER]     default: build-deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}
# Debian's own build flags, hardening included (fortified calls, immediate
# binding), as its packages are built.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
rm -f "$build/CMakeCache.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
# Debian's packages carry stripped files; the symbols stay in the build.
(cd "$build" && rm -f ./*.deb && cpack -G DEB -D CPACK_STRIP_FILES=ON >/dev/null)
for deb in "$build"/*.deb; do
  echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
done
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$build"/*.deb || true
fi
