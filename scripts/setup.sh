#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need and
# that this machine lacks, and the decimal-comma locale the tests use.
# Debian 12.
#   setup.sh [--screenshots]   also what the main job needs to take a screenshot
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgdal-dev                 # GDAL 3.6 with PROJ
  libsqlite3-dev              # the search reads PROJ's database of names and areas
  qt6-base-dev qt6-tools-dev  # Qt 6 Widgets, UiTools, Test
  libxcb1-dev                 # a host program's X11 window as the chooser's owner
  qt6-translations-l10n       # Qt's own buttons and file dialogs in Chinese
  libqt6opengl6-dev           # UiTools' CMake package asks for Qt6OpenGL(Widgets)
  nlohmann-json3-dev          # the host program's --json output
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev    # the fuzzers (libFuzzer)
  xvfb xauth x11-utils xdotool openbox  # the chooser on a virtual display, with a window manager
  weston qt6-wayland          # the chooser on a Wayland compositor (headless)
  dbus-daemon dbus-bin at-spi2-core python3-pyatspi  # the chooser as a screen reader hears it (AT-SPI)
  python3-pyqt6 python3-tk    # hosts beyond C++ in the tests: a PyQt6 window, a Tk window
  fonts-dejavu-core fonts-wqy-microhei  # Latin and Chinese labels
  locales                     # a decimal-comma locale for the number tests
)
if [ "${1:-}" = "--screenshots" ]; then
  packages+=(imagemagick)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Numbers must be read and written the same whatever the user's locale; the
# tests prove it under German, whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  echo "Generating the de_DE.UTF-8 locale"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
