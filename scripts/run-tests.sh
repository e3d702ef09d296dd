#!/usr/bin/env bash
# Sets up, builds, and runs the whole test suite twice: as built for users,
# and with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

scripts/build.sh build
(cd build && ctest --output-on-failure -j2)

scripts/build.sh build-asan -DORVANE_SANITIZE=ON
(cd build-asan && ctest --output-on-failure -j2)
