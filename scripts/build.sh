#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as the first argument, with extra CMake
# options after it). Warnings are errors here; a plain cmake build only reports them.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
