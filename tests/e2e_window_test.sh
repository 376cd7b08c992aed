#!/bin/bash
# End-to-end test of the real window on a 1920x1080 screen without a window manager: full screen
# covers the whole screen with the picture scaled and letterboxed, clicks land on the buttons they
# are over, Alt+Enter and F11 switch between full screen and a window while the game goes on, and
# Alt+F4 or the window being destroyed by another program end the game as a close does (status 0,
# the trace's exit line written). A window made smaller than 800x600 grows back to it.
#
#   e2e_window_test.sh PATH/TO/korvalundrix
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert).
set -u

screen=1920x1080
source "$(dirname "$0")/e2e_lib.sh"

bright_at() { read -r hi lo <<<"$(levels $(area "$@"))" && [ "$hi" -gt 150 ]; }
geometry_is() { update_view && [ "$window_geometry" = "$1" ]; }
# Whether a screen pixel within two pixels of X Y has the colour "R G B": renderers may place a
# scaled one-pixel line a pixel or two either way.
colour_near() {
  local x=$1 y=$2 want=$3 dx dy
  for dy in -2 -1 0 1 2; do
    for dx in -2 -1 0 1 2; do
      [ "$(pixel $((x + dx)) $((y + dy)))" = "$want" ] && return 0
    done
  done
  return 1
}
trace_ends_with_exit() { [ "$(tail -n 1 "$work/trace.jsonl" | grep -c '"event":"exit"')" = 1 ]; }

start_game --trace "$work/trace.jsonl" || exit 1
screenshot 1-full-screen
[ "$window_geometry" = "1920x1080+0+0" ] || fail "full screen: the window is $window_geometry, not the whole screen"
# 600 rows fill 1080: 1.8 screen pixels a game pixel, the 1440 columns centred between black bars.
[ "$view_x $view_y $view_scale" = "240 0 1.800000" ] || fail "full screen: picture at $view_x,$view_y x$view_scale"
expect_button Play 331 407
expect_button Exit 331 501
colour_near $(at 331 407) "255 255 255" || fail "full screen: no highlight at Play's scaled top left corner"
colour_near $(at 457 463) "64 64 64" || fail "full screen: no shadow at Play's scaled bottom right corner"
read -r hi lo <<<"$(levels 240 1080 0 0)"
[ "$hi" = 0 ] || fail "full screen: the left bar is not black (brightest level $hi)"
read -r hi lo <<<"$(levels 240 1080 1680 0)"
[ "$hi" = 0 ] || fail "full screen: the right bar is not black (brightest level $hi)"

# Pointer and clicks are mapped to the game's screen: the intro, then Play, then the selection.
xdotool mousemove $(at 200 200)
sleep 0.5
xdotool mousemove $(at 220 210)
wait_for 10 bright_at 769 81 14 314 || fail "full screen: the intro's last caption did not appear"
click_at "$PLAY_X" "$PLAY_Y"
wait_for 5 has_button 309 470 || fail "full screen: the click on Play did not open the level selection"
screenshot 2-selection-full-screen
expect_no_button Play 331 407

# Alt+Enter: an 800x600 window in the middle of the screen, the selection still there and working.
xdotool key alt+Return
wait_for 5 geometry_is "800x600+560+240" || fail "Alt+Enter: the window is $window_geometry, not 800x600 in the middle"
wait_for 5 has_button 309 470 || fail "Alt+Enter: the level buttons are gone"
screenshot 3-window
[ "$view_scale" = "1.000000" ] || fail "window: the picture is scaled by $view_scale"
# Level 2 has no pits, and its rocks are shot as they come while fire is held (its ammunition lasts
# about seventeen seconds), so the vehicle stays whole and the level runs on until Stop.
click_at "$(level_x 2)" "$LEVEL_Y"
wait_for 5 has_button 16 8 || fail "window: the click on level 2 did not start it"
xdotool keydown space
wait_for 8 bright_at 300 70 490 0 || fail "window: no HUD, the level does not run"
screenshot 4-level-window

# F11 back to full screen while the level runs: it goes on drawing, Stop still answers.
xdotool key F11
wait_for 5 geometry_is "1920x1080+0+0" || fail "F11: the window is $window_geometry, not the whole screen"
sleep 0.5
wait_for 5 bright_at 300 70 490 0 || fail "F11: no HUD, the level stopped drawing"
ground=$(count_colour $(area 100 10 690 553) "#5A5500")
[ "$ground" -gt 1000 ] || fail "F11: no ground at the bottom right (found $ground pixels)"
screenshot 5-level-full-screen
expect_button Stop 16 8
xdotool keyup space
click_at 50 20
wait_for 5 has_button 331 501 || fail "full screen: Stop did not bring the selection back"

# Alt+F4 closes the game as the window's close does.
xdotool key alt+F4
wait_exit
[ "$status" = 0 ] || fail "Alt+F4: expected exit status 0, got '$status'"
trace_ends_with_exit || fail "Alt+F4: the trace does not end with the exit line"

# A window destroyed by another program: the same clean end, no X error.
rm -f "$work/trace.jsonl"
if start_game --windowed --trace "$work/trace.jsonl"; then
  # Nothing but the game keeps the window to its minimum here: a smaller size is put back.
  xdotool windowsize "$(xdotool search --onlyvisible --name '^KORVALUNDRIX$' | head -1)" 400 300
  for _ in $(seq 1 50); do
    update_view && [[ "$window_geometry" == 800x600+* ]] && break
    sleep 0.1
  done
  [[ "$window_geometry" == 800x600+* ]] || fail "resized to 400x300: the window stays $window_geometry"
  xdotool windowclose "$(xdotool search --onlyvisible --name '^KORVALUNDRIX$' | head -1)"
  wait_exit
  [ "$status" = 0 ] || fail "windowclose: expected exit status 0, got '$status'"
  trace_ends_with_exit || fail "windowclose: the trace does not end with the exit line"
  ! grep -q "X Error" "$work/out.txt" || fail "windowclose: $(head -n 1 "$work/out.txt")"
else
  fail "the windowed start failed"
fi

finish "e2e window test passed"
