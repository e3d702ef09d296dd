#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need and
# that this machine lacks. Debian 12.
#   setup.sh [--screenshots]   also what the main job needs to take a screenshot
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgdal-dev                 # GDAL 3.6 with PROJ
  qt6-base-dev qt6-tools-dev  # Qt 6 Widgets, UiTools, Test
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev    # the fuzzers (libFuzzer)
  xvfb xauth x11-utils xdotool fonts-dejavu-core  # the chooser on a virtual display
)
if [ "${1:-}" = "--screenshots" ]; then
  packages+=(imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
