#!/usr/bin/env bash
# Builds the Debian packages here, then installs, uses and removes them in a
# clean Debian 12 root (tests/install/test_packages.sh). As root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-packages.sh build-deb
ORVANE_FRESH_FILES="$(ls build-deb/*.deb | tr '\n' ' ')" \
  scripts/check-fresh-machine.sh 'tests/install/test_packages.sh /root/packages'
