#!/usr/bin/env bash
# Builds the mixer, sound and music tests under ThreadSanitizer and runs them: a second thread mixes
# (SDL's own audio thread under its dummy driver, and a plain thread) while the game thread plays,
# stops and re-pitches voices. Only the platform libraries and that one test program are built.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-tsan}"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_TSAN=ON -DKV_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target kv_audio_tests
SDL_AUDIODRIVER=dummy TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$dir/kv_audio_tests" --gtest_brief=1
echo "ThreadSanitizer: the audio tests ran clean."
