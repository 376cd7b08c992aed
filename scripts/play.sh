#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. Options are passed to the game
# (for example --windowed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/korvalundrix "$@"
