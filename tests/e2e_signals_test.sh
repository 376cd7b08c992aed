#!/bin/bash
# End-to-end test of the ways a desktop ends the game from outside, under the openbox window
# manager. SIGTERM (logout), SIGINT (Ctrl+C) and SIGHUP (the terminal closed) each end it within a
# second as a close of its window does (exit status 0, the trace's last line the exit) in every
# state: the intro, the selection screen, the banner's pause, a running level, a wreck, minimised,
# full screen, and with its window destroyed. Destroying the frame of the full-screen window ends
# the game by itself as well.
#
#   e2e_signals_test.sh PATH/TO/korvalundrix
#
# Needs Xvfb, openbox, xdotool, xwininfo, xprop and ImageMagick. Three games run side by side, one
# for each signal, each on its own X server with its own openbox.
set -u

program=$(realpath "${1:?usage: $0 PATH/TO/korvalundrix}")
here=$(dirname "$(realpath "$0")")

if [ -z "${KV_SIGNAL_LANE:-}" ]; then
  logs=$(mktemp -d)
  lanes=(TERM INT HUP)
  pids=()
  trap 'rm -rf "$logs"' EXIT
  # Stopped from outside (a timeout), the lanes stop too and take their X servers with them.
  trap 'kill "${pids[@]}" 2>/dev/null; exit 1' TERM INT HUP
  # Lanes started as jobs of their own: without job control they would start with SIGINT ignored,
  # and so would their games.
  set -m
  for sig in "${lanes[@]}"; do
    KV_SIGNAL_LANE=$sig bash "$0" "$program" >"$logs/$sig.log" 2>&1 &
    pids+=($!)
  done
  failed=0
  for i in "${!lanes[@]}"; do
    wait "${pids[$i]}" || failed=1
    sed "s/^/${lanes[$i]}: /" "$logs/${lanes[$i]}.log"
  done
  [ "$failed" = 0 ] || exit 1
  echo "e2e signals test passed"
  exit 0
fi

# One lane: its own X server (the first free display) with openbox on it.
sig=$KV_SIGNAL_LANE
xwork=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xwork/display" 2>"$xwork/xvfb.log" &
xvfb=$!
wm=
stop_x() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$xwork"
}
for _ in $(seq 1 100); do
  [ -s "$xwork/display" ] && break
  sleep 0.1
done
[ -s "$xwork/display" ] || { echo "FAIL: Xvfb did not start: $(cat "$xwork/xvfb.log")"; stop_x; exit 1; }
export DISPLAY=":$(cat "$xwork/display")"
openbox --sm-disable >"$xwork/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done

screen=1024x768
export KV_E2E_IN_XVFB=1
source "$here/e2e_lib.sh" "$program"
trap 'cleanup; stop_x' EXIT
trap 'exit 1' TERM INT HUP
# A background job of a shell without job control starts with SIGINT ignored, which the game
# keeps, as it keeps an ignored SIGHUP under nohup: the games here start as jobs of their own.
set -m

now_ms() { echo $(($(date +%s%N) / 1000000)); }
trace_has() { grep -q "\"event\":\"$1\"" "$work/trace.jsonl" 2>/dev/null; }
# A field of the trace's last line.
last_field() { tail -n 1 "$work/trace.jsonl" | grep -o "\"$1\":[^,]*" | cut -d: -f2; }
alive() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) && [ "$state" != Z ]
}
window_id() { xdotool search --onlyvisible --pid "$pid" --name '^KORVALUNDRIX$' 2>/dev/null | head -1; }
managed() { xprop -id "$id" WM_STATE 2>/dev/null | grep -q "window state: Normal"; }
# The view of this game's window, placed as xwininfo says: xdotool counts a reparented window's
# frame in its position.
update_view() {
  local info x y w h
  info=$(xwininfo -id "$id" 2>/dev/null) || return 1
  read -r x y w h <<<"$(awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}' <<<"$info")"
  window_geometry="${w}x${h}+${x}+${y}"
  read -r view_x view_y view_scale <<<"$(awk -v x="$x" -v y="$y" -v w="$w" -v h="$h" 'BEGIN {
    s = (w * 600 > h * 800) ? h / 600 : w / 800
    printf "%d %d %.6f", x + int((w - int(800 * s + 0.999)) / 2), y + int((h - int(600 * s + 0.999)) / 2), s }')"
}
# A game left running by a check that failed goes before the next one starts.
end_leftover() {
  if [ -n "$pid" ] && alive "$pid"; then kill -KILL "$pid"; fi
  [ -n "$pid" ] && wait "$pid" 2>/dev/null
  pid=
}

# Starts the game with the options given; returns once openbox shows its window, in place, and the
# game has written its start line.
launch() {
  end_leftover
  rm -f "$work/trace.jsonl"
  (cd "$work" && exec "$program" --trace "$work/trace.jsonl" "$@" >"$work/out.txt" 2>&1) &
  pid=$!
  id=
  local want="800x600" t
  [ "${1:-}" = --windowed ] || want="1024x768+0+0"
  for t in $(seq 1 150); do
    if ! alive "$pid"; then
      fail "the game ended at its start: $(head -c 300 "$work/out.txt")"
      pid=
      return 1
    fi
    [ -n "$id" ] || id=$(window_id)
    if [ -n "$id" ] && trace_has start && managed && update_view && [[ "$window_geometry" == $want* ]]; then
      return 0
    fi
    sleep 0.1
  done
  fail "the window did not appear as $want within 15 seconds (id '$id', geometry '${window_geometry:-}')"
  return 1
}

# Waits up to N seconds for the trace to hold a line of an event.
wait_trace() {
  local event=$1 tries=$(($2 * 10))
  for _ in $(seq 1 "$tries"); do
    trace_has "$event" && return 0
    sleep 0.1
  done
  return 1
}

# Sends the lane's signal and expects the game gone within a second: status 0, the exit line last.
signal_ends_it() {
  local state=$1 start seen
  start=$(now_ms)
  kill -s "$sig" "$pid"
  while alive "$pid" && [ $(($(now_ms) - start)) -lt 1000 ]; do sleep 0.02; done
  if alive "$pid"; then
    seen=$(ps -o stat=,wchan= -p "$pid" | xargs)
    sleep 3
    if alive "$pid"; then
      fail "$state: SIG$sig did not end the game (still running 4 s later, state $seen)"
      kill -KILL "$pid"
      wait "$pid" 2>/dev/null
      pid=
      return 1
    fi
    wait "$pid"
    fail "$state: SIG$sig ended the game after more than a second (state $seen after one second, status $?)"
    pid=
    return 1
  fi
  local took=$(($(now_ms) - start))
  wait "$pid"
  status=$?
  pid=
  echo "$state: ended ${took} ms after SIG$sig, status $status"
  [ "$status" = 0 ] || fail "$state: SIG$sig ended the game with status $status (trace's last line: $(tail -n 1 "$work/trace.jsonl" 2>/dev/null | cut -c1-40))"
  [ "$(last_field event)" = '"exit"' ] || fail "$state: SIG$sig: the trace does not end with the exit line"
  [ "$status" = 0 ]
}

# Play, then a level button: the clicks are handled in turn, so the banner follows at once.
click_level() {
  click_at "$PLAY_X" "$PLAY_Y"
  click_at "$(level_x "$1")" "$LEVEL_Y"
}

# Blue pixels of the vehicle's body in the ground band, counted on a half-size sample of the screen
# (quick enough to catch the few seconds a wreck lasts).
body_pixels() {
  local w h x y
  read -r w h x y <<<"$(area 800 150 0 420)"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage miff:- 2>/dev/null |
    "$convert" miff:- -sample 50% -fx '(b>r+0.15 && b>g+0.05)?1:0' -format "%[fx:round(mean*w*h)]" info: 2>/dev/null
}
level_running() { trace_has level_start && ! trace_has level_end; }
with_body() { level_running && [ "$(body_pixels)" -gt 20 ]; }
wrecked() { level_running && [ "$(body_pixels)" -lt 3 ]; }
# Runs a check until it holds, for up to N seconds.
within() {
  local end=$(($(now_ms) + $1 * 1000))
  shift
  while [ "$(now_ms)" -lt "$end" ]; do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# The intro: the pointer moved over the first screen shows its captions, two seconds of pauses.
if launch --windowed; then
  xdotool mousemove $(at 200 200)
  sleep 0.2
  xdotool mousemove $(at 220 210)
  sleep 0.4
  if signal_ends_it "the intro"; then
    [ "$(last_field introPending)" = false ] || fail "the intro: it had not begun when the signal came"
  fi
fi

# The selection screen, its caption's backdrop running.
if launch --windowed; then
  click_at "$PLAY_X" "$PLAY_Y"
  if wait_for 5 has_button 309 470; then
    signal_ends_it "the selection screen"
  else
    fail "the selection screen: the level buttons did not appear"
  fi
fi

# The banner's pause: three seconds in which the game handles no window message.
if launch --windowed; then
  click_level 1
  sleep 0.4
  if trace_has level_start; then
    fail "the banner: the level had begun already"
  else
    if signal_ends_it "the banner's pause"; then
      trace_has level_start || fail "the banner: the level was not chosen"
    fi
  fi
fi

# A running level.
if launch --windowed; then
  click_level 1
  if wait_trace level_start 8; then
    sleep 0.3
    signal_ends_it "a running level"
  else
    fail "a running level: the level did not start"
  fi
fi

# A wreck: on level 2 a rock rolls into a vehicle that does not fire within seconds; the wreckage
# lies there for a few seconds before the level ends.
if launch --windowed; then
  click_level 2
  if ! wait_trace level_start 8 || ! within 5 with_body; then
    fail "a wreck: the level did not start with the vehicle in it"
  elif ! within 20 wrecked; then
    fail "a wreck: no wreck within 20 seconds of the level's start"
  elif signal_ends_it "a wreck"; then
    [ "$(last_field wrecked)" = true ] && ! trace_has level_end ||
      fail "a wreck: the level was not running with the vehicle wrecked when the signal came" \
        "(wrecked $(last_field wrecked), level ended $(trace_has level_end && echo yes || echo no))"
  fi
fi

# Minimised during a level.
if launch --windowed; then
  click_level 1
  if wait_trace level_start 8; then
    xdotool windowminimize "$id"
    minimised() { xwininfo -id "$id" 2>/dev/null | grep -q IsUnMapped; }
    for _ in $(seq 1 50); do minimised && break; sleep 0.1; done
    if minimised; then
      sleep 0.3
      signal_ends_it "minimised"
    else
      fail "minimised: the window is still shown"
    fi
  else
    fail "minimised: the level did not start"
  fi
fi

# Full screen, in a level.
if launch; then
  click_level 1
  if wait_trace level_start 8; then
    sleep 0.3
    signal_ends_it "full screen"
  else
    fail "full screen: the level did not start"
  fi
fi

frame_of() { xwininfo -tree -id "$1" | awk '/Parent window id/ {print $4}'; }

# The window gone: its frame destroyed by another program during the banner; the game notices only
# after the banner, but the signal ends it at once.
if launch; then
  click_level 1
  sleep 0.3
  xdotool windowclose "$(frame_of "$id")"
  signal_ends_it "the window gone"
fi

# Without a signal: the frame of the full-screen window destroyed on the first screen ends the game,
# as a close does.
if [ "$sig" = TERM ] && launch; then
  xdotool windowclose "$(frame_of "$id")"
  start=$(now_ms)
  while alive "$pid" && [ $(($(now_ms) - start)) -lt 3000 ]; do sleep 0.05; done
  if alive "$pid"; then
    fail "frame destroyed: the game still runs 3 s later (state $(ps -o stat=,wchan= -p "$pid" | xargs))"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    pid=
  else
    wait "$pid"
    status=$?
    pid=
    [ "$status" = 0 ] || fail "frame destroyed: exit status $status"
    [ "$(last_field event)" = '"exit"' ] || fail "frame destroyed: the trace does not end with the exit line"
  fi
fi

finish "SIG$sig ended the game cleanly in every state"
