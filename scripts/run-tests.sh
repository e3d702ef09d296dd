#!/usr/bin/env bash
# Sets up, builds, and runs the whole test suite twice: as built for users,
# and with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer;
# then runs every fuzzer for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

scripts/build.sh build
# The benchmarks once, briefly, so that they keep building and running.
build/bin/bench --short --benchmark_color=false > build/bench-short.txt
tail -n 3 build/bench-short.txt
(cd build && ctest --output-on-failure -j2)

scripts/build.sh build-asan -DORVANE_SANITIZE=ON -DORVANE_BUILD_BENCHMARKS=OFF
(cd build-asan && ctest --output-on-failure -j2)

scripts/run-fuzzers.sh
