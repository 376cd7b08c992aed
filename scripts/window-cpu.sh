#!/usr/bin/env bash
# Measures the real window under Xvfb: the share of one core the game's process takes on the
# level-selection screen and while a level runs, and its memory (resident, and its own anonymous
# memory). Usage: scripts/window-cpu.sh [BUILD_DIR] [SECONDS] [LEVEL]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/buttons.sh
build=$(realpath "${1:-build}")
seconds=${2:-30}
level=${3:-6}
if [ -z "${KV_IN_XVFB:-}" ]; then
  exec env KV_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$build" "$seconds" "$level"
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

(cd "$build" && exec ./korvalundrix --seed 1) &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
status() { awk -v k="$1" '$1 == k":" {print $2}' "/proc/$pid/status"; }
# The share of one core over the given seconds, in percent.
share() {
  local a b
  a=$(cpu_ticks)
  sleep "$1"
  b=$(cpu_ticks)
  echo "$(((b - a) * 100 / (hz * $1)))"
}

sleep 2
xdotool mousemove 300 300
sleep 4                                   # the intro
xdotool mousemove "$PLAY_X" "$PLAY_Y" click 1         # Play
sleep 2
echo "selection screen: $(share "$seconds")% of one core"
xdotool mousemove "$(level_x "$level")" "$LEVEL_Y" click 1
sleep 4                                   # the banner
echo "level $level running: $(share "$seconds")% of one core"
echo "resident: $(status VmRSS) kB (peak $(status VmHWM) kB), own anonymous memory: $(status RssAnon) kB"
