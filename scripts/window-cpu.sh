#!/usr/bin/env bash
# Measures the real window on its own Xvfb screen, without a window manager, while level 2 runs
# with fire held: the share of one core taken by the game's process and by the X server (their own
# CPU time over a fixed wall time, so other work on the machine does not count), the game's tick rate
# from its trace and the redraws a second that follow from it, against the rate the game counts.
#
#   scripts/window-cpu.sh [BUILD_DIR] [SCREEN WxH] [window|full] [SECONDS]
#
# Defaults: build, 1920x1080, full, 10. "window" plays in an 800x600 window on that screen. With
# KV_PERF=FILE the game is profiled meanwhile (perf record -g); KV_KEEP=1 keeps the trace's folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/buttons.sh
build=$(realpath "${1:-build}")
screen=${2:-1920x1080}
mode=${3:-full}
seconds=${4:-10}
sw=${screen%x*}
sh=${screen#*x}
case "$mode" in
  window) options=(--windowed) ;;
  full) options=() ;;
  *)
    echo "mode must be window or full, not '$mode'" >&2
    exit 2
    ;;
esac
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

work=$(mktemp -d)
xpid= gpid=
cleanup() {
  [ -n "$gpid" ] && kill "$gpid" 2>/dev/null || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  [ -n "${KV_KEEP:-}" ] || rm -rf "$work"; [ -n "${KV_KEEP:-}" ] && echo "kept $work" >&2
}
trap cleanup EXIT

# An X server of our own; it writes its display number once it accepts connections.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
xpid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

(cd "$work" && exec "$build/korvalundrix" --seed 1 --trace "$work/trace.jsonl" "${options[@]}") >"$work/out.txt" 2>&1 &
gpid=$!
hz=$(getconf CLK_TCK)
jiffies() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Where the game's 800x600 screen lies on the X screen (the window's place, the picture letterboxed).
window_place() {
  local id X Y WIDTH HEIGHT SCREEN WINDOW
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name '^KORVALUNDRIX$' 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.1
  done
  eval "$(xdotool getwindowgeometry --shell "$id")"
  read -r vx vy vs <<<"$(awk -v x="$X" -v y="$Y" -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
    s = (w * 600 > h * 800) ? h / 600 : w / 800
    printf "%d %d %.6f", x + int((w - int(800 * s)) / 2), y + int((h - int(600 * s)) / 2), s }')"
}
click() { xdotool mousemove "$(awk -v g="$1" -v o="$vx" -v s="$vs" 'BEGIN { print o + int((g + 0.5) * s) }')" \
  "$(awk -v g="$2" -v o="$vy" -v s="$vs" 'BEGIN { print o + int((g + 0.5) * s) }')" click 1; }
wait_trace() {
  for _ in $(seq 1 150); do grep -q "\"event\":\"$1\"" "$work/trace.jsonl" 2>/dev/null && return 0; sleep 0.1; done
  echo "no $1 line in the trace; the game said: $(head -c 300 "$work/out.txt")" >&2
  exit 1
}

sleep 1
window_place
xdotool mousemove $((vx + 100)) $((vy + 100)) sleep 0.3 mousemove $((vx + 120)) $((vy + 110))
click "$PLAY_X" "$PLAY_Y"                # handled once the intro is over
sleep 1
click "$(level_x 2)" "$LEVEL_Y"
wait_trace level_start
xdotool keydown space
sleep 1
g0=$(jiffies "$gpid") x0=$(jiffies "$xpid")
if [ -n "${KV_PERF:-}" ]; then
  perf record -q -g -p "$gpid" -o "$KV_PERF" -- sleep "$seconds" 2>/dev/null
else
  sleep "$seconds"
fi
g1=$(jiffies "$gpid") x1=$(jiffies "$xpid")
xdotool keyup space
click "$STOP_X" "$STOP_Y"
wait_trace level_end

field() { grep "\"event\":\"$1\"" "$work/trace.jsonl" | head -1 | sed -E "s/.*\"$2\":([0-9.-]+).*/\1/"; }
t0=$(field level_start t) k0=$(field level_start ticks) t1=$(field level_end t) k1=$(field level_end ticks)
rate=$(field level_start refreshRate) normal=$(field level_start normalSpeed)
awk -v s="$screen" -v m="$mode" -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v hz="$hz" -v n="$seconds" \
  -v dk=$((k1 - k0)) -v dt=$((t1 - t0)) -v rate="$rate" -v sp="$normal" 'BEGIN {
  ticks = dk * 1000 / dt
  printf "%s %s: game %.1f%% of one core (%d jiffies in %d s), X server %.1f%% (%d jiffies)\n", s, m,
    100 * g / (hz * n), g, n, 100 * x / (hz * n), x
  printf "  counted %d Hz, speed %d: %.1f ticks/s (%.1f%% of %d), %.2f redraws/s\n", rate, sp, ticks,
    100 * ticks / (rate * (sp + 1)), rate * (sp + 1), ticks / (sp + 1) }'
