#!/usr/bin/env bash
# Sets up, builds, and runs the main job: the host program naming a few
# spatial references.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
build/bin/orvane info EPSG:4326 EPSG:32650 EPSG:2272 '+proj=merc +datum=WGS84 +units=m'
