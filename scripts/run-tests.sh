#!/usr/bin/env bash
# Sets up, builds, and runs the whole test suite twice: as built for users,
# and with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer;
# then the fuzzing step (every fuzzer, and the long form of the chooser's
# random sessions, each for FUZZ_SECONDS). Prints how long each phase took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
phase() { echo "== $1: $((SECONDS - phase_started)) s"; phase_started=$SECONDS; }
phase_started=$SECONDS

scripts/setup.sh
phase "set-up"

# Line tables are debug information enough for a failing test's trace, and
# build in far less time than full debug information.
scripts/build.sh build -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
phase "build"
# The benchmarks once, briefly, so that they keep building and running.
build/bin/bench --short --benchmark_color=false > build/bench-short.txt
tail -n 3 build/bench-short.txt
(cd build && ctest --output-on-failure -j2)
phase "tests"

scripts/build.sh build-asan -DORVANE_SANITIZE=ON -DORVANE_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
phase "sanitizer build"
(cd build-asan && ctest --output-on-failure -j2)
phase "sanitizer tests"

scripts/run-fuzzers.sh
phase "fuzzing"
echo "== the test command: $((SECONDS - started)) s"
