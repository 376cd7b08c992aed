#!/bin/bash
# End-to-end test of a player's whole way through the real program under Xvfb: the start screen,
# the intro on the first mouse movement, Play, the level selection, a level (banner, then the
# running level), Stop, another level, and Exit. Each screen is checked as a player would see it.
#
#   e2e_flow_test.sh PATH/TO/korvalundrix
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert). Set KV_E2E_SHOTS to a folder to keep
# the screenshots.
set -u

source "$(dirname "$0")/e2e_lib.sh"

red="#FF0000"
yellow="#FFFF00"

# Red and yellow caption pixels inside a rectangle W H X Y.
expect_caption() {
  local what=$1
  shift
  local r y
  r=$(count_colour "$@" "$red")
  y=$(count_colour "$@" "$yellow")
  [ "$r" -gt 50 ] && [ "$y" -gt 50 ] || fail "$what: expected red and yellow captions in $*, found $r red, $y yellow"
}

expect_black() {
  local what=$1
  shift
  read -r hi lo <<<"$(levels "$@")"
  [ "$hi" -le 1 ] || fail "$what: expected black in $*, brightest level $hi"
}

level_buttons=("1 309" "2 340" "3 371" "4 402" "5 433" "6 464")

start_game || exit 1
screenshot 1-start
expect_button Play 331 407
expect_button Exit 331 501
expect_black "start screen" 800 400 0 0

bright_at() { read -r hi lo <<<"$(levels "$@")" && [ "$hi" -gt 150 ]; }

# The intro: three captions with a second between them, then the animated backdrop.
xdotool mousemove 200 200
sleep 0.5
xdotool mousemove 220 210  # a second movement never repeats the intro
wait_for 10 bright_at 769 81 14 314 || fail "the intro's last caption did not appear"
sleep 0.3
screenshot 2-intro
expect_caption "ZOBRANTIKA" 321 41 162 62
expect_caption "HUMBLY PRESENTS" 241 21 271 161
expect_caption "KORVALUNDRIX" 769 81 14 314
expect_black "above the captions" 800 60 0 0
expect_black "between the captions" 800 55 0 104
expect_black "below HUMBLY PRESENTS" 800 130 0 183
expect_button Play 331 407

# Play: the level selection over the backdrop.
xdotool mousemove "$PLAY_X" "$PLAY_Y" click 1
wait_for 5 has_button 309 470 || fail "the level buttons did not appear"
sleep 0.3
screenshot 3-selection
expect_caption "PICK A LEVEL" 769 81 14 314
expect_black "the intro's captions are gone" 800 300 0 0
expect_no_button Play 331 407
expect_button Exit 331 501
for b in "${level_buttons[@]}"; do
  set -- $b
  expect_button "level $1" "$2" 470
done

# A digit key only changes the level number; the button picks the level that is played.
xdotool key 5
sleep 0.2
xdotool mousemove "$(level_x 1)" "$LEVEL_Y" click 1
wait_for 5 has_button 16 8 || fail "the banner did not appear"
sleep 0.3
screenshot 4-banner
expect_button Stop 16 8
expect_no_button Exit 331 501
expect_no_button "level 1" 309 470
read -r hi lo <<<"$(levels 200 30 300 196)"
[ "$hi" -gt 150 ] || fail "banner: no 'Level 1' text near 322,200"
read -r hi lo <<<"$(levels 350 30 210 296)"
[ "$hi" -gt 150 ] || fail "banner: no 'Total points 0' text near 232,300"
expect_black "banner: nothing but its two lines" 800 150 0 40

# The level runs: the HUD at the top right, the flat ground of the level start along the bottom.
wait_for 8 bright_at 300 70 490 0 || fail "level: no HUD at the top right"
screenshot 5-level
read -r hi lo <<<"$(levels 300 70 490 0)"
[ "$hi" -gt 150 ] || fail "level: no HUD at the top right"
ground=$(count_colour 100 10 690 553 "#5A5500")
[ "$ground" -gt 500 ] || fail "level: no ground colour at the bottom right (found $ground pixels)"
expect_button Stop 16 8

# Stop: back to the selection.
xdotool mousemove 50 20 click 1
wait_for 5 has_button 331 501 || fail "Stop did not bring the selection back"
sleep 0.3
screenshot 6-after-stop
expect_caption "PICK A LEVEL" 769 81 14 314
expect_no_button Stop 16 8
expect_button Exit 331 501
expect_button "level 6" 464 470

# Another level, then Stop again.
xdotool mousemove "$(level_x 2)" "$LEVEL_Y" click 1
wait_for 8 bright_at 300 70 490 0 || fail "level 2: no HUD"
screenshot 7-level2
xdotool mousemove 50 20 click 1
wait_for 5 has_button 331 501 || fail "the second Stop did not bring the selection back"
screenshot 8-after-stop2
expect_button Exit 331 501

# Exit ends the program with status 0.
xdotool mousemove "$EXIT_X" "$EXIT_Y" click 1
wait_exit
[ "$status" = 0 ] || fail "Exit: expected exit status 0, got '$status'"

finish "e2e flow test passed"
