#!/usr/bin/env bash
# Watches the real window's own anonymous memory (RssAnon) under Xvfb while level 6 is played over
# and over with the music looping: one sample every STEP seconds for SECONDS seconds, then the least
# and the most seen. Usage: scripts/window-memory.sh [BUILD_DIR] [SECONDS] [STEP]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/buttons.sh
build=$(realpath "${1:-build}")
seconds=${2:-600}
step=${3:-30}
if [ -z "${KV_IN_XVFB:-}" ]; then
  exec env KV_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$build" "$seconds" "$step"
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

(cd "$build" && exec ./korvalundrix --seed 1) &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
anon() { awk '$1 == "RssAnon:" {print $2}' "/proc/$pid/status"; }

sleep 2
xdotool mousemove 300 300
sleep 4                           # the intro
xdotool mousemove "$PLAY_X" "$PLAY_Y" click 1 # Play
sleep 2
least=999999999 most=0
for ((t = 0; t < seconds; t += step)); do
  # Level 6 again whenever its end has brought the selection screen back; a click on the running
  # level's screen does nothing. Fire and jump now and then, so shots, rocks and wrecks come and go.
  xdotool mousemove "$(level_x 6)" "$LEVEL_Y" click 1
  xdotool keydown space
  sleep 1
  xdotool key Up
  xdotool keyup space
  sleep $((step - 1))
  a=$(anon)
  echo "t=$((t + step)) s  RssAnon $a kB  VmRSS $(awk '$1 == "VmRSS:" {print $2}' "/proc/$pid/status") kB"
  ((a < least)) && least=$a
  ((a > most)) && most=$a
done
echo "own anonymous memory over ${seconds} s: $least .. $most kB"
