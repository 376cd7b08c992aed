#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test: once in a normal build with GCC
# (unit, scenario and end-to-end tests, then the install and Debian package checks); once with clang
# under AddressSanitizer and UndefinedBehaviorSanitizer, whose build also holds the fuzz targets,
# each run for a short while, and a short soak of a dozen levels; and the audio tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export SDL_AUDIODRIVER=dummy

rm -rf build-test build-sanitize
scripts/build.sh build-test -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
cmake --build build-test --target kv_header_check -j "$(nproc)"  # every header compiles on its own
(cd build-test && ctest --output-on-failure -j "$(nproc)")
scripts/test-install.sh build-test

scripts/build.sh build-sanitize -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKV_SANITIZE=ON \
  -DKV_FUZZ=ON -DKV_BUILD_BENCH=OFF
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$(nproc)" -LE e2e)

scripts/soak.sh 12 1  # a dozen levels in one process under the sanitizers, memory flat
rm -rf build-tsan && scripts/test-tsan.sh build-tsan  # the audio tests under ThreadSanitizer
scripts/test-fuzz.sh build-sanitize

echo "All tests passed."
