#!/bin/bash
# End-to-end test of recording a game played in the real window and replaying it: a level played
# with fire, jumps and the pace keys, Stop, another level, Exit, all with --record and --trace; the
# recording replayed headless must write the same trace, byte for byte. A short headless recording is
# then watched with --replay --windowed: it shows its window, keeps the recorded pace and writes the
# same trace as well.
#
#   e2e_record_test.sh PATH/TO/korvalundrix
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert).
set -u

source "$(dirname "$0")/e2e_lib.sh"

bright_at() { read -r hi lo <<<"$(levels "$@")" && [ "$hi" -gt 150 ]; }
# Holds a key for the given seconds.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

start_game --record "$work/game.kvrec" --trace "$work/played.jsonl" || exit 1
started=$(date +%s.%N)
# Straight onto Play (a pointer over a button is no movement for the intro), then level 2: rocks only.
xdotool mousemove "$PLAY_X" "$PLAY_Y" click 1
wait_for 5 has_button 309 470 || fail "Play did not open the level selection"
xdotool mousemove "$(level_x 2)" "$LEVEL_Y" click 1
wait_for 10 bright_at 300 70 490 0 || fail "level 2: no HUD, the level does not run"
xdotool keydown space
for _ in 1 2 3; do
  hold Up 0.15
  hold Left 0.6
  hold Right 0.6
done
xdotool keyup space
xdotool mousemove "$STOP_X" "$STOP_Y" click 1
wait_for 5 has_button 331 501 || fail "Stop did not bring the selection back"
# Another level: saucers, fired at upward too.
xdotool mousemove "$(level_x 4)" "$LEVEL_Y" click 1
wait_for 10 bright_at 300 70 490 0 || fail "level 4: no HUD, the level does not run"
hold space 1
hold Up 0.15
xdotool mousemove "$STOP_X" "$STOP_Y" click 1
wait_for 5 has_button 331 501 || fail "the second Stop did not bring the selection back"
xdotool mousemove "$EXIT_X" "$EXIT_Y" click 1
wait_exit
played=$(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }')
[ "$status" = 0 ] || fail "the recorded game: expected exit status 0, got '$status' ($(head -n 1 "$work/out.txt"))"
levels_played=$(grep -c '"event":"level_start"' "$work/played.jsonl")
[ "$levels_played" = 2 ] || fail "the recorded game's trace holds $levels_played level starts, not 2"

size=$(stat -c %s "$work/game.kvrec")
per_minute=$(awk -v b="$size" -v s="$played" 'BEGIN { printf "%d", b * 60 / s }')
echo "recording: $size bytes for ${played} s of play, about $per_minute bytes a minute"
[ "$per_minute" -le 65536 ] || fail "the recording takes $per_minute bytes a minute, more than 64 kB"

replay_started=$(date +%s.%N)
if (cd "$work" && "$program" --replay game.kvrec --trace replayed.jsonl 2>"$work/replay.txt"); then
  awk -v s="$replay_started" -v e="$(date +%s.%N)" -v p="$played" \
    'BEGIN { printf "replay: %.2f s headless, %.0f times faster than the play\n", e - s, p / (e - s) }'
  cmp -s "$work/played.jsonl" "$work/replayed.jsonl" ||
    fail "the replay's trace differs from the played one: $(diff "$work/played.jsonl" "$work/replayed.jsonl" | head -c 300)"
else
  fail "the replay failed: $(cat "$work/replay.txt")"
fi

# Watching a replay: a headless run of three seconds (Play, a level's banner) shown at its pace.
printf '100 click %d %d\n300 click %d %d\n3000 state\n3100 quit\n' "$PLAY_X" "$PLAY_Y" "$(level_x 1)" "$LEVEL_Y" \
  >"$work/short.script"
"$program" --headless --seed 7 --script "$work/short.script" --record "$work/short.kvrec" \
  --trace "$work/short.jsonl" || fail "the short headless recording failed"
(cd "$work" && exec "$program" --replay short.kvrec --windowed --trace watched.jsonl >"$work/out.txt" 2>&1) &
pid=$!
watch_started=$(date +%s.%N)
wait_for 5 has_button 16 8 || fail "the watched replay shows no level (no Stop button)"
wait_exit
watched=$(awk -v s="$watch_started" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }')
[ "$status" = 0 ] || fail "the watched replay: expected exit status 0, got '$status' ($(head -n 1 "$work/out.txt"))"
awk -v w="$watched" 'BEGIN { exit !(w >= 2.5) }' || fail "the watched replay took $watched s, faster than its 3 s"
cmp -s "$work/short.jsonl" "$work/watched.jsonl" || fail "the watched replay's trace differs from the recorded one"

finish "e2e record test passed"
