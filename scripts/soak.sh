#!/usr/bin/env bash
# Plays PLAYS levels (default 100) in one process under AddressSanitizer and
# UndefinedBehaviorSanitizer with a seeded player (default seed 1), checking the game between ticks,
# and prints plays, wins, wrecks, points and the peak resident memory after 10 and after PLAYS
# levels. It fails on a sanitizer report, a leak, a broken check, or a peak that grew by more than 5%.
#   scripts/soak.sh [PLAYS [SEED]]
# KV_SOAK_BUILD picks the build (default build-sanitize, configured with clang and -DKV_SANITIZE=ON
# when it does not exist yet). AddressSanitizer keeps freed memory in a quarantine, whose fill
# grows the peak with every level without any leak: the soak runs with a 1 MB quarantine so the
# figure shows the game's own memory.
set -euo pipefail
cd "$(dirname "$0")/.."
plays="${1:-100}"
seed="${2:-1}"
dir="${KV_SOAK_BUILD:-build-sanitize}"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  scripts/build.sh "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKV_SANITIZE=ON \
    -DKV_BUILD_BENCH=OFF >/dev/null
elif ! grep -q '^KV_SANITIZE:BOOL=ON' "$dir/CMakeCache.txt"; then
  echo "$dir is not a sanitizer build (-DKV_SANITIZE=ON)" >&2
  exit 2
fi
cmake --build "$dir" -j2 --target kv_soak >/dev/null
quarantine=1
echo "soak: $plays levels, seed $seed, AddressSanitizer quarantine ${quarantine} MB"
ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=$quarantine:abort_on_error=0" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" SDL_AUDIODRIVER=dummy \
  "$dir/kv_soak" "$plays" "$seed"
