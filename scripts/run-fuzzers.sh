#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for FUZZ_SECONDS (default 30),
# starting from a copy of its committed corpus; then the long form of the
# chooser's random sessions (build/bin/test_chooser, when built) for
# RANDOM_SECONDS (default 90: about a thousand sessions), from session
# ORVANE_RANDOM_FIRST (default 201, past the suite's own); then every UTM
# zone EPSG has on the catalogue's datums, composed (about a minute). Any
# crash or failed session fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
random_seconds=${RANDOM_SECONDS:-90}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DORVANE_FUZZ=ON -DORVANE_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=0
passed=0
for target in names profile tables restore prj; do
  mkdir -p "$work/$target"
  cp fuzz/corpus/$target/* "$work/$target/"
  # The targets that drive GDAL spend their time in PROJ's database: tracing
  # every string comparison sqlite makes halves their speed and guides
  # nothing of ours.
  asan=$ASAN_OPTIONS
  case $target in names|restore|prj) asan=$asan:intercept_memcmp=0:intercept_strcmp=0:intercept_strstr=0 ;; esac
  # -detect_leaks=0: libFuzzer would scan the whole heap (Qt's, GDAL's) after
  # every input that leaves a cache fuller, which made the chooser targets run
  # ten times slower; leaks are the sanitizer test suite's to find.
  if ASAN_OPTIONS=$asan build-fuzz/bin/fuzz_$target -detect_leaks=0 -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 \
       -artifact_prefix="$work/" "$work/$target" >"$work/$target.log" 2>&1; then
    echo "fuzz_$target: $(grep -E '^Done [0-9]+ runs' "$work/$target.log" | tail -n 1)"
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "fuzz_$target FAILED:"
    tail -n 40 "$work/$target.log"
    for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-*; do
      [ -e "$crash" ] && { echo "input: $crash"; head -c 2000 "$crash" | od -c | head -n 20; }
    done
  fi
done

# long_run NAME SUMMARY SUITE FILTER [VARIABLE=VALUE...]: one of the suite's
# tests in its long form; SUMMARY is the pattern of the line it ends with.
long_run() {
  local name=$1 summary=$2 suite=build/bin/$3 filter=$4 log="$work/$1.log"
  shift 4
  [ -x "$suite" ] || return 0
  if env QT_QPA_PLATFORM=offscreen "$@" "$suite" --gtest_filter="$filter" >"$log" 2>&1; then
    echo "$name: $(grep -E "$summary" "$log")"
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "$name FAILED:"
    tail -n 40 "$log"
  fi
}
# A user's random sessions at the chooser, each checked by its own oracle.
long_run "random sessions" '^[0-9]+ random sessions' test_chooser 'RandomChoices.*' \
  ORVANE_RANDOM_FIRST="${ORVANE_RANDOM_FIRST:-201}" ORVANE_RANDOM_SECONDS="$random_seconds"
# Every UTM zone EPSG has on the catalogue's datums, composed as a user does
# and found to be EPSG's system (the suite composes a sample).
long_run "UTM zones" 'UTM zones carry' test_catalog 'Identification.AUtmZoneComposedOnAnyDatumIsEpsgs' \
  ORVANE_EVERY_UTM_ZONE=1
echo "fuzzers: $passed passed, $failed failed"
[ "$failed" = 0 ]
