#!/bin/bash
# End-to-end test of the actors in the real program under Xvfb: the vehicle lands where it starts,
# moves while Left is held, rises in a jump and fires its forward gun; rocks roll in with trees
# behind them; saucers fly and the upward gun fires. Every picture is drawn without its
# transparent colour around it.
#
#   e2e_actors_test.sh PATH/TO/korvalundrix
#
# The game runs in real time and its hazards come at random: a phase in which the vehicle is
# wrecked before everything was seen is played again on a fresh level, a few times at most.
set -u

source "$(dirname "$0")/e2e_lib.sh"

# Saves a screenshot under a name, as fast as possible; the checks read it afterwards.
snap() {
  import -window root "$work/$1.png" 2>/dev/null
  if [ -n "${KV_E2E_SHOTS:-}" ]; then mkdir -p "$KV_E2E_SHOTS" && cp "$work/$1.png" "$KV_E2E_SHOTS/actors-$1.png"; fi
}

# The bounding box "W H X Y" of the pixels of rectangle W H X Y of a saved screenshot that pass an
# ImageMagick fx test; fails when none does.
box_of() {
  local shot=$1 w=$2 h=$3 x=$4 y=$5 test=$6 g
  g=$("$convert" "$work/$shot.png" -crop "${w}x${h}+${x}+${y}" +repage -fx "($test)?1:0" -format "%@" info: 2>/dev/null)
  [[ "$g" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  [ "${BASH_REMATCH[1]}" -gt 0 ] && [ "${BASH_REMATCH[1]}" -lt "$w" ] || return 1
  echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} $((BASH_REMATCH[3] + x)) $((BASH_REMATCH[4] + y))"
}

# How many pixels of rectangle W H X Y of a saved screenshot pass an fx test.
count_of() {
  "$convert" "$work/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -fx "($6)?1:0" \
    -format "%[fx:round(mean*w*h)]" info: 2>/dev/null
}

blue='b>r+0.15 && b>g+0.05'                   # the vehicle body: light-blue nose, dark-blue dome
red='r>g+0.3 && r>b+0.3'                      # the rocks' stones
magenta='r>0.7 && b>0.7 && g<0.3'             # the wheels' tyres, the cores of both shots
saucer='g>r+0.3 && g>b+0.2 && g>0.5'          # the saucers' green bodies
leaf='g>r+0.2 && g>b+0.2'                     # the trees' leaves
white='r>0.98 && g>0.98 && b>0.98'            # the key of most pictures (and the stars)
wheelkey='abs(r-0.518)<0.01 && abs(g-0.51)<0.01 && b>0.98'  # 128,128,255 as the screen shows it
shotkey='r>0.98 && g>0.98 && abs(b-0.518)<0.01'             # 255,255,128
upkey='r>0.98 && g>0.98 && b<0.02'                           # 255,255,0

# The body's box in the ground band of a screenshot; fails while the body is hidden.
body_box() { box_of "$1" 800 150 0 420 "$blue"; }

# No picture's transparent colour on the screen below the HUD. White also marks the stars, one
# pixel each, so a few dozen are expected; a leaked key would show hundreds.
expect_no_keys() {
  local shot=$1 n
  n=$(count_of "$shot" 800 466 0 100 "$white")
  [ "$n" -lt 150 ] || fail "$shot: $n white pixels: a transparent colour was drawn"
  n=$(count_of "$shot" 800 466 0 100 "$wheelkey")
  [ "$n" -eq 0 ] || fail "$shot: the wheel's transparent colour was drawn ($n pixels)"
  n=$(count_of "$shot" 800 466 0 100 "$shotkey")
  [ "$n" -eq 0 ] || fail "$shot: the forward shot's transparent colour was drawn ($n pixels)"
  n=$(count_of "$shot" 800 466 0 100 "$upkey")
  [ "$n" -eq 0 ] || fail "$shot: the upward shot's transparent colour was drawn ($n pixels)"
}

bright_at() { read -r hi lo <<<"$(levels "$@")" && [ "$hi" -gt 150 ]; }
running() { has_button 16 8; }

# Starts level N from the selection screen; returns once the banner is over.
start_level() {
  xdotool mousemove "$(level_x "$1")" "$LEVEL_Y" click 1
  wait_for 10 running || { echo "level $1 did not start" >&2; return 1; }
  sleep 3.1
}
# Back to the selection, whether the level still runs or has just ended by itself.
stop_level() {
  if running; then xdotool mousemove 50 20 click 1; fi
  wait_for 8 has_button 331 501 || { echo "the selection screen did not come back" >&2; return 1; }
}

start_game || exit 1
xdotool mousemove 200 200
wait_for 10 bright_at 769 81 14 314 || fail "the intro did not run"
xdotool mousemove "$PLAY_X" "$PLAY_Y" click 1
wait_for 8 has_button 309 470 || fail "the level buttons did not appear"

# A level runs seven ticks to a frame, 420 ticks a second at 60 Hz: on level 2 the first rock rolls
# in 1100 ticks after the start, and then one every 300 ticks at the least, each crossing to the
# vehicle in under a second.

# The vehicle on level 2, firing all the while so that no rock reaches it: it lands where it starts,
# moves while Left is held and rises in a jump, and its forward shot flies to the left.
forward_shot_in() {
  local b bw bh x y
  b=$(body_box "$1") && read -r bw bh x y <<<"$b" && box_of "$1" $((x - 8)) 24 0 $((y - 2)) "$magenta" >/dev/null
}
vehicle_seen=
for attempt in 1 2 3 4 5; do
  start_level 2 || { fail "level 2 did not start"; break; }
  xdotool keydown space
  sleep 1.6 # the vehicle falls in from the top or drops to the new ground
  snap landed
  xdotool keydown Left
  sleep 1
  xdotool keyup Left
  snap left
  xdotool keydown Up
  sleep 0.15
  xdotool keyup Up
  sleep 0.25
  snap jump
  xdotool keyup space
  stop_level
  b0=$(body_box landed) && b1=$(body_box left) && b2=$(body_box jump) || {
    echo "vehicle, attempt $attempt: no body in the ground band when $(body_box landed >/dev/null || echo "landed ")$(body_box left >/dev/null || echo "moved left ")$(body_box jump >/dev/null || echo "jumping")" >&2
    continue
  }
  read -r bw bh x0 y0 <<<"$b0"
  read -r bw bh x1 y1 <<<"$b1"
  read -r bw bh x2 y2 <<<"$b2"
  vehicle_seen=1
  [ "$x0" -ge 395 ] && [ "$x0" -le 410 ] || fail "the body stood at x $x0, not near 400"
  [ "$y0" -ge 505 ] && [ "$y0" -le 530 ] || fail "the body stood at y $y0, not on the ground"
  wheels=$(count_of landed 100 20 $((x0 - 5)) 535 "$magenta")
  [ "$wheels" -gt 60 ] || fail "no wheels under the body ($wheels tyre pixels)"
  [ "$x1" -le $((x0 - 40)) ] || fail "Left held for a second moved the body from $x0 to $x1 only"
  [ "$y2" -le $((y1 - 15)) ] || fail "the jump did not lift the body: its top went from $y1 to $y2"
  forward_shot_in landed || forward_shot_in left || forward_shot_in jump ||
    fail "the forward shot was not seen in flight left of the body"
  expect_no_keys landed
  expect_no_keys left
  break
done
[ -n "$vehicle_seen" ] || fail "the vehicle was wrecked before it could be checked, five times"

# Rocks on level 2, with the trees behind them; the screenshot that shows a rock is the one checked.
# Rocks go on rolling in while a wrecked vehicle lies in pieces, until the level ends.
rock_or_end() { ! running || box_of screen 380 130 0 430 "$red" >/dev/null; }
rock_seen=
for attempt in 1 2 3 4; do
  start_level 2 || { fail "level 2 did not start for the rock"; break; }
  if ! wait_for 30 rock_or_end; then
    echo "rock, attempt $attempt: no rock in 30 seconds or more of screenshots" >&2
  elif ! running; then
    echo "rock, attempt $attempt: the level ended before a rock was seen" >&2
  else
    rock_seen=1
    cp "$work/screen.png" "$work/rock.png"
  fi
  stop_level
  [ -n "$rock_seen" ] || continue
  expect_no_keys rock
  trees=$(count_of rock 800 400 0 100 "$leaf")
  [ "$trees" -gt 100 ] || fail "no trees were drawn ($trees leaf pixels)"
  break
done
[ -n "$rock_seen" ] || fail "no rock was seen on level 2"

# Saucers on level 4, and the upward gun.
saucer_seen=
for attempt in 1 2 3; do
  start_level 4 || { fail "level 4 did not start"; break; }
  xdotool keydown space # both guns fire from the start, so a shot is up when the first saucer comes
  if ! wait_for 40 box_of screen 800 90 0 5 "$saucer" >/dev/null; then
    echo "saucer, attempt $attempt: no saucer in 40 seconds or more of screenshots ($(running && echo "the level still ran" || echo "the level had ended"))" >&2
    xdotool keyup space
    stop_level
    continue
  fi
  cp "$work/screen.png" "$work/saucer.png"
  snap up1
  snap up2
  xdotool keyup space
  stop_level
  b=$(body_box saucer) || {
    echo "saucer, attempt $attempt: the vehicle was wrecked before the saucer came" >&2
    continue
  }
  saucer_seen=1
  read -r bw bh bx by <<<"$b"
  # The upward shot: a vertical bolt with a magenta core climbing from the body's left end.
  box_of saucer 40 420 "$bx" 60 "$magenta" >/dev/null || box_of up1 40 420 "$bx" 60 "$magenta" >/dev/null ||
    box_of up2 40 420 "$bx" 60 "$magenta" >/dev/null ||
    fail "the upward shot was not seen in flight"
  expect_no_keys saucer
  expect_no_keys up1
  break
done
[ -n "$saucer_seen" ] || fail "no saucer was seen over the vehicle on level 4, three times"

xdotool mousemove "$EXIT_X" "$EXIT_Y" click 1
wait_exit
[ "$status" = 0 ] || fail "Exit: expected exit status 0, got '$status'"

finish "e2e actors test passed"
