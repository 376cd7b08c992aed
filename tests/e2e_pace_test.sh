#!/bin/bash
# End-to-end test of the game's pace in the real window on a 1920x1080 screen without a window
# manager: level 2 played with no key held, in an 800x600 window and then in full screen, runs
# within 3% of the ticks a second the game counts on (its refresh rate times normalSpeed + 1), the
# time and ticks taken from the trace's level_start and level_end lines.
#
#   e2e_pace_test.sh PATH/TO/korvalundrix
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert).
set -u

screen=1920x1080
source "$(dirname "$0")/e2e_lib.sh"

play_seconds=4
trace=$work/trace.jsonl
lines() { grep -c "\"event\":\"$1\"" "$trace" 2>/dev/null || true; }
# Waits up to N seconds for the trace to hold COUNT lines of an event.
wait_lines() {
  for _ in $(seq 1 $(($1 * 10))); do
    [ "$(lines "$2")" -ge "$3" ] && return 0
    sleep 0.1
  done
  return 1
}
# A number from the Nth line of an event.
field() { grep "\"event\":\"$1\"" "$trace" | sed -n "${2}p" | sed -E "s/.*\"$3\":(-?[0-9]+).*/\1/"; }

# Plays level 2 for a few seconds as the Nth level of the run; says how its pace compares.
play_level() {
  local n=$1 where=$2
  click_at "$(level_x 2)" "$LEVEL_Y"
  wait_lines 10 level_start "$n" || { fail "$where: level 2 did not start"; return; }
  sleep "$play_seconds"
  click_at "$STOP_X" "$STOP_Y"
  wait_lines 5 level_end "$n" || { fail "$where: Stop did not end the level"; return; }
  local t0 k0 t1 k1 hz speed
  t0=$(field level_start "$n" t) k0=$(field level_start "$n" ticks)
  t1=$(field level_end "$n" t) k1=$(field level_end "$n" ticks)
  hz=$(field level_start "$n" refreshRate) speed=$(field level_start "$n" normalSpeed)
  read -r rate want ok <<<"$(awk -v dk=$((k1 - k0)) -v dt=$((t1 - t0)) -v hz="$hz" -v s="$speed" 'BEGIN {
    r = dk * 1000 / dt; w = hz * (s + 1); printf "%.1f %d %d", r, w, (r > w * 0.97 && r < w * 1.03) }')"
  echo "$where: $rate ticks a second over $((t1 - t0)) ms, counted ${hz} Hz x $((speed + 1)) = $want"
  [ "$ok" = 1 ] || fail "$where: $rate ticks a second, not within 3% of $want"
}

start_game --windowed --trace "$trace" || exit 1
xdotool mousemove $(at 200 200) sleep 0.3 mousemove $(at 220 210)
click_at "$PLAY_X" "$PLAY_Y"  # taken once the intro is over
wait_for 15 has_button 309 470 || fail "the click on Play did not open the level selection"
[ "$window_geometry" = "800x600+560+240" ] || fail "window: it is $window_geometry"
play_level 1 "window"

xdotool key F11
wait_for 5 eval 'update_view && [ "$window_geometry" = "1920x1080+0+0" ]' ||
  fail "F11: the window is $window_geometry, not the whole screen"
play_level 2 "full screen"

xdotool key alt+F4
wait_exit
[ "$status" = 0 ] || fail "Alt+F4: expected exit status 0, got '$status'"
finish "e2e pace test passed"
