#!/usr/bin/env bash
# A whole level's worth of play in CPU seconds: the headless game's CPU per shown frame while a
# scripted player plays level 6 (steady fire, a jump every second, the level started again
# whenever it ends), times the frames of a whole level (41 x 801 ticks, about 4,700 frames at
# 60 Hz), plus the process's startup. Usage: scripts/level-cpu.sh [BUILD_DIR] [PLAY_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/buttons.sh
build=$(realpath "${1:-build}")
play=${2:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

start=8700  # the intro, Play, level 6 and its three-second banner are behind us by then (ms)
{
  echo "100 move 300 300"
  echo "2500 click $PLAY_X $PLAY_Y"
  echo "2700 click $(level_x 6) $LEVEL_Y"
  echo "$start state"
} >"$work/prelude.script"
cp "$work/prelude.script" "$work/play.script"
{
  echo "$start down 32"  # fire, and keep the key down
  for ((t = start + 1000; t < start + play * 1000; t += 1000)); do
    echo "$t down 38"
    echo "$((t + 100)) up 38"
    # Level 6 again when its end has brought the selection screen back; harmless while it runs.
    if (((t - start) % 5000 == 0)); then echo "$((t + 500)) click $(level_x 6) $LEVEL_Y"; fi
  done
  echo "$((start + play * 1000)) state"
} >>"$work/play.script"
echo "0 quit" >"$work/quit.script"

# User and system CPU seconds of one headless run.
cpu() {
  local out
  out=$( { /usr/bin/env time -f "%U %S" "$build/korvalundrix" --headless --seed 1 --script "$1" >/dev/null; } 2>&1)
  awk '{print $1 + $2}' <<<"$(tail -n1 <<<"$out")"
}
startup=$(cpu "$work/quit.script")
prelude=$(cpu "$work/prelude.script")
whole=$(cpu "$work/play.script")
awk -v s="$startup" -v p="$prelude" -v w="$whole" -v secs="$play" 'BEGIN {
  frames = secs * 60
  perFrame = (w - p) / frames
  printf "startup %.3f s CPU; %d s of level-6 play (%d frames at 60 Hz): %.1f us CPU per shown frame\n", s, secs, frames, perFrame * 1e6
  printf "a whole level: %.3f s CPU (4700 frames x per frame + startup; the goal is under 1 s)\n", perFrame * 4700 + s
}'
