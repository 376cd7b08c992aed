#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test: once in a normal build
# (unit, scenario and end-to-end tests) and once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then every fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export SDL_AUDIODRIVER=dummy

rm -rf build-test build-sanitize
scripts/build.sh build-test
(cd build-test && ctest --output-on-failure -j "$(nproc)")

scripts/build.sh build-sanitize -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$(nproc)" -LE e2e)

scripts/test-fuzz.sh build-fuzz

echo "All tests passed."
