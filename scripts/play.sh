#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. Options are passed to the game
# (for example --windowed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target korvalundrix -j "$(nproc)"
exec build/korvalundrix "$@"
