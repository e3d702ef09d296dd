#!/usr/bin/env bash
# The Debian packages installed as a user installs them, on a clean Debian 12
# (run inside one: scripts/check-packages.sh): apt-get pulls only Debian's
# packages besides ours; the tiny host builds against them with
# find_package(Orvane) and with pkg-config, a C host with pkg-config, and
# each names a system; the program runs; Python imports orvane; apt-get
# remove leaves none of their files behind.
#   test_packages.sh PACKAGE_FOLDER
set -euo pipefail
packages=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export DEBIAN_FRONTEND=noninteractive
fail() { echo "packages: $*"; echo "0 passed, 1 failed"; exit 1; }

apt-get update -qq
dpkg-query -W -f='${Package}\n' | sort >"$work/before"
apt-get install -y -qq "$packages"/liborvane_*.deb "$packages"/liborvane-dev_*.deb "$packages"/orvane_*.deb \
  "$packages"/python3-orvane_*.deb \
  >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install failed"; }
dpkg-query -W -f='${Package}\n' | sort >"$work/after"
pulled=$(comm -13 "$work/before" "$work/after" | grep -vxE 'liborvane|liborvane-dev|orvane|python3-orvane' || true)
# Every other package came from Debian's archive (a mirror line in its policy).
for p in $pulled; do
  apt-cache policy "$p" | grep -qE '^ +[0-9]+ (https?|file):' || fail "$p is not from Debian's archive"
done
echo "apt-get install pulled $(echo "$pulled" | wc -w) packages, all Debian's"
dpkg -L liborvane liborvane-dev orvane python3-orvane | sort -u >"$work/files"

info=$(orvane info EPSG:4326) || fail "orvane info EPSG:4326 failed"
grep -qx 'Coordinate system: WGS 84' <<<"$info" || fail "orvane info EPSG:4326 printed: $info"
# Python finds the library where the package put it, with no path given.
named=$(python3 -c "import orvane; print(orvane.info('EPSG:32633').name)") || fail "import orvane failed"
[ "$named" = "WGS 84 / UTM zone 33N" ] || fail "orvane.info printed: $named"

# The host: with the CMake package, then with pkg-config alone.
apt-get install -y -qq --no-install-recommends g++ cmake make pkg-config >/dev/null
cmake -S "$source/tests/install/host" -B "$work/cmake-host" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
[ "$("$work/cmake-host/host")" = "WGS 84 / UTM zone 50N" ] || fail "the find_package host"
# shellcheck disable=SC2046  # pkg-config's words are flags
g++ -std=c++17 "$source/tests/install/host/main.cpp" -o "$work/pc-host" $(pkg-config --cflags --libs orvane)
[ "$("$work/pc-host")" = "WGS 84 / UTM zone 50N" ] || fail "the pkg-config host"
# shellcheck disable=SC2046
gcc -std=c99 -Wall -Wextra -pedantic -Werror "$source/examples/c-host/host.c" -o "$work/c-host" \
  $(pkg-config --cflags --libs orvane) || fail "the C host does not build"
[ "$("$work/c-host" | head -n 1)" = "WGS 84 / UTM zone 50N" ] || fail "the C host"

# The hosts beyond C++ (Python without Qt, PyQt6, Tk) with the packages as
# installed: no path given to any of them.
apt-get install -y -qq --no-install-recommends xvfb xauth x11-utils xdotool openbox python3-pyqt6 python3-tk \
  >/dev/null
"$source/tests/e2e/test_hosts.sh" || fail "the hosts beyond C++"

apt-get remove -y -qq liborvane liborvane-dev orvane python3-orvane >/dev/null
while read -r f; do
  # Folders that others share (/usr, /usr/lib …) stay.
  if [ -e "$f" ] && ! [ -d "$f" ]; then fail "left behind: $f"; fi
  case $f in */orvane|*/orvane/*|*/Orvane|*/liborvane*) [ ! -e "$f" ] || fail "left behind: $f" ;; esac
done <"$work/files"
# dpkg-query fails for the packages it no longer knows at all: that is the aim.
left=$(dpkg-query -W -f='${Package} ${Status}\n' liborvane liborvane-dev orvane python3-orvane 2>/dev/null || true)
if grep -v 'not-installed$' <<<"$left" | grep -q .; then
  fail "still known to dpkg after remove: $left"
fi
echo "6 passed, 0 failed"
