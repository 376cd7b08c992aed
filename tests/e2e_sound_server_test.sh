#!/bin/bash
# End-to-end test of the sound through a real sound server: a PulseAudio of the test's own, with a
# null sink whose monitor parec records. The game under Xvfb plays level 4; the recording must hold
# the engine's hum at its normal pitch, higher while Left is held, a jump, and the music. Then the
# server is killed in the middle of the level and started again: the game plays on (no hang, no
# crash) and its sound comes back within a few seconds, the music where it would have been.
#
#   e2e_sound_server_test.sh PATH/TO/korvalundrix PATH/TO/kv_sound_probe SOUNDS_DIR MUSIC.mp3
#
# SOUNDS_DIR holds the built sound effects (normalnie.wav, skok.wav). Needs pulseaudio and parec and
# pactl (pulseaudio-utils) besides the tools of the other end-to-end tests. It runs as root too.
set -u

source "$(dirname "$0")/e2e_lib.sh"
probe=$(realpath "${2:?usage: $0 PROGRAM PROBE SOUNDS_DIR MUSIC}")
sounds=$(realpath "${3:?}")
music=$(realpath "${4:?}")

pulse=$work/pulse
mkdir -p "$pulse/run" "$pulse/state" && chmod 700 "$pulse/run"
# The test's own tools reach the server on one socket; the game finds it on another, opened only
# once the server is running: a fresh null sink takes its first two seconds of sound in one block
# (no real card does that), which would hold up whatever plays into it.
cat >"$pulse/server.pa" <<EOF
load-module module-null-sink sink_name=game rate=44100 channels=2
set-default-sink game
load-module module-native-protocol-unix socket=$pulse/run/tools auth-anonymous=1
EOF
export PULSE_SERVER=unix:$pulse/run/tools
game_server=unix:$pulse/run/native

server=
recorder=
stop_sound() {
  for p in $recorder $server; do kill -KILL "$p" 2>/dev/null; done
  cleanup
}
trap stop_sound EXIT

now() { date +%s.%N; }
# a - b, or a + b, in seconds.
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a - b }'; }
plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }
# above A B: A > B.
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# Sleeps until the wall-clock time $1.
sleep_until() {
  local left
  left=$(minus "$1" "$(now)")
  if above "$left" 0; then sleep "$left"; fi
}

# Starts the server and records its sink into $1 (raw 16-bit stereo at 44100 Hz) until the server
# goes; once the recording runs, the game's socket opens.
start_server() {
  # Its own home and runtime folder: no user session, no other server, no autospawn.
  HOME=$pulse XDG_RUNTIME_DIR=$pulse/run PULSE_RUNTIME_PATH=$pulse/run PULSE_STATE_PATH=$pulse/state \
    pulseaudio -n -F "$pulse/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    >>"$pulse/server.log" 2>&1 &
  server=$!
  local up=
  for _ in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && up=1 && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$up" ]; then
    echo "the sound server did not start:" >&2
    tail -5 "$pulse/server.log" >&2
    return 1
  fi
  parec -d game.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=20 --raw >"$1" \
    2>>"$pulse/parec.log" &
  recorder=$!
  for _ in $(seq 1 50); do
    [ -s "$1" ] && break
    sleep 0.1
  done
  [ -s "$1" ] || echo "the recording did not start (the null sink gave no sound within 5 s)" >&2
  pactl load-module module-native-protocol-unix socket="$pulse/run/native" auth-anonymous=1 >/dev/null
}

# The wall-clock time of a recording's first frame: now, less what it holds so far.
origin_of() {
  awk -v now="$(now)" -v size="$(stat -c %s "$1")" 'BEGIN { printf "%.3f", now - size / 176400 }'
}

# value NAME LINE: the number after NAME= in a line of the probe.
value() { sed -n "s/.*$1=\([-0-9.]*\).*/\1/p" <<<"$2"; }

# music_after REC AT EXPECT SPAN: where in the music the recording is from AT on, as "ncc=... pos=..."
# with pos the music's position at AT. A second of the recording is matched at three starts and the
# best match counts: a short drop-out of the sound server's recorder in one second spoils only that
# one.
music_after() {
  local best="" bestNcc=-1 offset found ncc
  for offset in 0 0.4 0.8; do
    found=$("$probe" music "$1" "$(plus "$2" "$offset")" "$(plus "$2" "$(plus "$offset" 1)")" "$music" \
      "$(plus "$3" "$offset")" "$4")
    ncc=$(value ncc "$found")
    if above "$ncc" "$bestNcc"; then
      bestNcc=$ncc
      best="ncc=$ncc pos=$(minus "$(value pos "$found")" "$offset") length=$(value length "$found")"
    fi
  done
  echo "$best"
}

wait_trace() {
  for _ in $(seq 1 $(($2 * 10))); do
    grep -q "\"event\":\"$1\"" "$work/trace.jsonl" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# The engine's hum in REC FROM TO: how well it matches at 45000 and at 55000 samples per second.
hum() {
  local normal fast
  normal=$("$probe" match "$1" "$2" "$3" "$sounds/normalnie.wav" 45000 0.3)
  fast=$("$probe" match "$1" "$2" "$3" "$sounds/normalnie.wav" 55000 0.3)
  echo "$(value ncc "$normal") $(value ncc "$fast")"
}

start_server "$work/before.raw" || exit 1
PULSE_SERVER=$game_server SDL_AUDIODRIVER=pulseaudio start_game --seed 13 --trace "$work/trace.jsonl" || exit 1

xdotool mousemove 200 200
sleep 0.3
xdotool mousemove "$PLAY_X" "$PLAY_Y" click 1
wait_for 5 has_button 309 470 || fail "the level buttons did not appear"
xdotool mousemove "$(level_x 4)" "$LEVEL_Y" click 1
if ! wait_trace level_start 10; then
  fail "level 4 did not start"
  finish
fi
level=$(now)

# Driving at the normal speed, then faster with Left held, then a jump.
sleep_until "$(plus "$level" 2.0)"
xdotool keydown Left
sleep_until "$(plus "$level" 4.2)"
xdotool keyup Left
sleep_until "$(plus "$level" 4.5)"
jumped=$(now)
xdotool keydown Up
sleep 0.1
xdotool keyup Up
sleep_until "$(plus "$level" 5.5)"
origin1=$(origin_of "$work/before.raw")
# Where the wall-clock time $1 falls in the first recording.
rec_at() { minus "$1" "$origin1"; }

# The server dies in the middle of the level.
kill -KILL "$server"
wait "$server" 2>/dev/null
killed=$(now)
noticed=
for _ in $(seq 1 50); do
  grep -q "sound device went away" "$work/out.txt" && noticed=$(now) && break
  sleep 0.1
done
if [ -n "$noticed" ]; then
  echo "the game noticed the server gone within $(minus "$noticed" "$killed") s"
else
  fail "the game did not notice the sound server going: $(cat "$work/out.txt")"
fi
for _ in $(seq 1 30); do
  kill -0 "$recorder" 2>/dev/null || break
  sleep 0.1
done
kill -KILL "$recorder" 2>/dev/null

rec=$work/before.raw
from=$(plus "$(rec_at "$level")" 0.3)
read -r n45 n55 <<<"$(hum "$rec" "$from" "$(plus "$from" 1.6)")"
echo "normal speed: the engine matched $n45 at 45000 Hz, $n55 at 55000 Hz"
above "$n45" 0.5 && above "$n45" "$(plus "$n55" 0.2)" ||
  fail "no engine hum at the normal pitch in the level's first seconds (match $n45 at 45000 Hz, $n55 at 55000 Hz)"
from=$(plus "$(rec_at "$level")" 2.5)
read -r f45 f55 <<<"$(hum "$rec" "$from" "$(plus "$from" 1.6)")"
echo "Left held: the engine matched $f45 at 45000 Hz, $f55 at 55000 Hz"
above "$f55" 0.5 && above "$f55" "$(plus "$f45" 0.2)" ||
  fail "the engine's pitch did not rise while Left was held (match $f45 at 45000 Hz, $f55 at 55000 Hz)"
jump=$("$probe" match "$rec" "$(minus "$(rec_at "$jumped")" 0.2)" "$(plus "$(rec_at "$jumped")" 0.8)" \
  "$sounds/skok.wav" 44100)
echo "jump: $jump"
above "$(value ncc "$jump")" 0.5 || fail "no jump heard after Up was pressed ($jump)"
# The music started with the level, about three seconds before the banner gave way to it. Where it
# was when the jump sounded is the mark the music after the server's return is measured against.
jumpA=$(value at "$jump")
musicA=$(music_after "$rec" "$jumpA" "$(plus "$(minus "$jumped" "$level")" 3)" 3)
echo "music at the jump: $musicA"
above "$(value ncc "$musicA")" 0.8 || fail "no music heard in the level ($musicA)"
echo "the level before the server went: $("$probe" stats "$rec" "$(rec_at "$level")" "$(rec_at "$killed")")"

# Gone: the game plays on, its picture moving.
screenshot && cp "$work/screen.rgb" "$work/gone.rgb"
sleep 0.5
if ! kill -0 "$pid" 2>/dev/null; then
  fail "the game ended when the sound server went: $(cat "$work/out.txt")"
  finish
fi
# A loaded machine may hold a frame back a while; a picture still for three seconds is a hang.
moved=0
for _ in $(seq 1 10); do
  screenshot
  if ! cmp -s "$work/screen.rgb" "$work/gone.rgb"; then
    moved=1
    break
  fi
  sleep 0.3
done
((moved)) || fail "the picture stood still for 3 s while the sound server was gone (trace: $(tail -n 1 "$work/trace.jsonl" | cut -c1-120))"
sleep_until "$(plus "$killed" 3)"

rec=$work/after.raw
start_server "$rec" || exit 1
returned=$(now)
# Sounds are found in the recording and the times measured between them, so the recorder's own
# delay counts for nothing.
duration() { awk -v size="$(stat -c %s "$rec")" 'BEGIN { printf "%.3f", size / 176400 }'; }
reopened=
back=
heard=
for _ in $(seq 1 80); do
  sleep 0.1
  [ -z "$reopened" ] && grep -q "sound device is back" "$work/out.txt" && reopened=$(now)
  heard=$("$probe" stats "$rec" "$(minus "$(duration)" 0.3)" 1e9)
  if above "$(value rms_db "$heard")" -45; then
    back=$(now)
    break
  fi
done
if [ -z "$back" ]; then
  fail "no sound within 8 seconds of the server's return ($heard); the game said: $(cat "$work/out.txt")"
  finish
fi
echo "the game found the sound device again $(minus "${reopened:-$back}" "$returned") s after the server came back;" \
  "the recording heard it $(minus "$back" "$returned") s after"
screenshot after-return

# A jump again, early in a new level (the old one may end any moment by now).
starts=$(grep -c '"event":"level_start"' "$work/trace.jsonl")
screenshot
if has_button 16 8; then xdotool mousemove "$STOP_X" "$STOP_Y" click 1; fi
wait_for 5 has_button 309 470 || fail "the level buttons did not appear again"
xdotool mousemove "$(level_x 4)" "$LEVEL_Y" click 1
for _ in $(seq 1 100); do
  [ "$(grep -c '"event":"level_start"' "$work/trace.jsonl")" -gt "$starts" ] && break
  sleep 0.1
done
sleep 0.3
jumpedB=$(now)
xdotool keydown Up
sleep 0.1
xdotool keyup Up
sleep 2.5
end=$(duration)
jump=$("$probe" match "$rec" "$(minus "$end" 2.9)" "$(minus "$end" 0.5)" "$sounds/skok.wav" 44100)
echo "jump after the return: $jump"
above "$(value ncc "$jump")" 0.5 || fail "no jump heard after the server's return ($jump)"
jumpB=$(value at "$jump")
# Where the music should be: as far on from the first jump as the wall clock went.
expected=$(plus "$(value pos "$musicA")" "$(minus "$jumpedB" "$jumped")")
musicB=$(music_after "$rec" "$jumpB" "$expected" 6)
echo "music at that jump: $musicB (expected at $expected)"
above "$(value ncc "$musicB")" 0.8 || fail "no music after the server's return ($musicB)"
off=$(minus "$(value pos "$musicB")" "$expected")
above 0.5 "${off#-}" || fail "the music came back $off s away from where it would have been ($musicB, expected $expected)"
read -r b45 b55 <<<"$(hum "$rec" "$(plus "$jumpB" 0.15)" "$(plus "$jumpB" 1.75)")"
echo "after the return: the engine matched $b45 at 45000 Hz, $b55 at 55000 Hz"
above "$b45" 0.5 || fail "no engine hum after the server's return (match $b45 at 45000 Hz, $b55 at 55000 Hz)"

# The game still answers: Stop (when the level still runs), then Exit.
screenshot
if has_button 16 8; then
  xdotool mousemove "$STOP_X" "$STOP_Y" click 1
  wait_for 5 has_button 331 501 || fail "Stop did not bring the selection back"
fi
xdotool mousemove "$EXIT_X" "$EXIT_Y" click 1
wait_exit
[ "$status" = 0 ] || fail "Exit: expected exit status 0, got '$status'; the game said: $(cat "$work/out.txt")"
finish "the sound server test passed"
