#!/bin/bash
# End-to-end test of the game on Wayland. Under sway run headless (an 800x600 output, no X server)
# the game starts on SDL's Wayland driver, a virtual pointer clicks Play and level 2, a screenshot
# (grim) shows the level drawn, and SIGTERM ends the game as a close does (status 0, the trace's exit
# line). Beside weston's headless back end, which offers no input seat, the game prints one line
# and exits with status 1 when there is no X server, and runs on X11 when there is one.
#
#   e2e_wayland_test.sh PATH/TO/korvalundrix PATH/TO/kv_wayland_pointer
#
# Compositors refuse to run as root: run as root (as CI does), the test makes an unprivileged user
# of its own (kv-e2e) and runs the compositors, Xvfb and the game as that user, from copies in a
# folder of their own. Needs sway, grim, weston, Xvfb, ImageMagick and setpriv.
set -u
program=$(realpath "${1:?usage: $0 PATH/TO/korvalundrix PATH/TO/kv_wayland_pointer}")
pointer=$(realpath "${2:?usage: $0 PATH/TO/korvalundrix PATH/TO/kv_wayland_pointer}")
. "$(dirname "$0")/../scripts/buttons.sh"
convert=/usr/bin/convert

for tool in sway grim weston Xvfb setpriv useradd "$convert"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is missing (scripts/install-deps.sh installs what this test needs)" >&2
    exit 1
  fi
done

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

user=kv-e2e
if [ "$(id -u)" = 0 ]; then
  if ! id -u "$user" >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
      { echo "FAIL: cannot make the user $user to run the compositors" >&2; exit 1; }
  fi
  uid=$(id -u "$user") gid=$(id -g "$user")
  as_user=(setpriv --reuid="$uid" --regid="$gid" --clear-groups --)
else
  as_user=()
fi

work=$(mktemp -d)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do { kill -KILL "$p" && wait "$p"; } 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
# The game and its data where the user can read them, and the user's own runtime folder.
chmod 755 "$work"
mkdir -p "$work/game" "$work/run"
data=$(dirname "$program")/data
for f in "$program" "$data/alfabet" "$data/Velunora002c.mp3"; do
  cp "$f" "$work/game/" || { echo "FAIL: cannot copy $f" >&2; exit 1; }
done
chmod 700 "$work/run"
[ "$(id -u)" = 0 ] && chown -R "$uid:$gid" "$work/game" "$work/run"
base_env=(env -i PATH=/usr/bin:/bin HOME="$work/run" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy)

# Starts the game as the user with the environment given (NAME=VALUE...); its pid in $game_pid.
start_game() {
  (cd "$work/game" && exec "${as_user[@]}" "${base_env[@]}" "$@" ./korvalundrix --trace "$work/game/trace.jsonl" \
    >"$work/game/out.txt" 2>&1) &
  game_pid=$!
  pids+=("$game_pid")
}
# Waits up to 10 s for the game to end; its status in $status.
wait_exit() {
  status="still running"
  for _ in $(seq 1 100); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid"
      status=$?
      return
    fi
    sleep 0.1
  done
}

shot() {
  env XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY="$socket" grim -t ppm "$work/shot.ppm" 2>/dev/null &&
    "$convert" "$work/shot.ppm" -depth 8 "rgb:$work/shot.rgb"
}
pixel() { od -An -tu1 -j $((($2 * 800 + $1) * 3)) -N3 "$work/shot.rgb" | xargs; }
has_button() { [ "$(pixel $(($1 + 3)) $(($2 + 3)))" = "212 208 200" ]; }
# Pixels of the ground's colour in the level's lower right, where the road runs.
ground_drawn() {
  local n
  n=$("$convert" "$work/shot.ppm" -crop 100x10+690+553 +repage -fuzz 2% -fill white -opaque "#5A5500" \
    -fill black +opaque white -colorspace gray -format "%[fx:round(mean*w*h)]" info:)
  [ "$n" -gt 500 ]
}
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq 1 $((seconds * 5))); do
    shot && "$@" && return 0
    sleep 0.2
  done
  return 1
}
keep_shot() { [ -n "${KV_E2E_SHOTS:-}" ] && mkdir -p "$KV_E2E_SHOTS" && "$convert" "$work/shot.ppm" "$KV_E2E_SHOTS/$1.png"; }

# sway, headless, with one 800x600 output and no window borders.
printf 'output HEADLESS-1 mode 800x600\ndefault_border none\n' >"$work/run/sway.conf"
"${as_user[@]}" "${base_env[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$work/run/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
socket=
for _ in $(seq 1 100); do
  socket=$(cd "$work/run" && ls wayland-[0-9] 2>/dev/null | head -1)
  [ -n "$socket" ] && break
  sleep 0.1
done
if [ -z "$socket" ]; then
  echo "FAIL: sway did not start: $(tail -n 3 "$work/sway.log")" >&2
  exit 1
fi

start_game WAYLAND_DISPLAY="$socket" SDL_VIDEODRIVER=wayland
if wait_for 10 has_button 331 407; then
  # The pointer: moved twice for the intro, then Play (taken once the intro is over), then level 2.
  mkfifo "$work/pointer.in"
  env XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY="$socket" "$pointer" 800 600 <"$work/pointer.in" \
    >"$work/pointer.out" 2>&1 &
  pids+=($!)
  exec 7>"$work/pointer.in"
  printf 'move 200 200\nmove 220 210\nmove %d %d\nclick\n' "$PLAY_X" "$PLAY_Y" >&7
  # A click that came before the intro took the pointer is made again (nothing is under it afterwards).
  if wait_for 12 has_button 309 470 || { printf 'click\n' >&7 && wait_for 12 has_button 309 470; }; then
    printf 'move %d %d\nclick\nmove 600 300\n' "$(level_x 2)" "$LEVEL_Y" >&7
    wait_for 10 eval 'has_button 16 8 && ground_drawn' || fail "sway: level 2 is not drawn"
    keep_shot wayland-level
  else
    fail "sway: the click on Play did not open the level selection ($(cat "$work/pointer.out"))"
  fi
  exec 7>&-
  kill -TERM "$game_pid"
  wait_exit
  [ "$status" = 0 ] || fail "sway: SIGTERM gave exit status '$status', not 0"
  tail -n 1 "$work/game/trace.jsonl" | grep -q '"event":"exit"' || fail "sway: the trace does not end with the exit line"
else
  fail "sway: the game's first screen did not appear: $(head -c 300 "$work/game/out.txt")"
fi

# weston's headless back end offers no seat.
"${as_user[@]}" "${base_env[@]}" weston --backend=headless-backend.so --socket=kv-weston --idle-time=0 \
  >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -S "$work/run/kv-weston" ] && break; sleep 0.1; done
[ -S "$work/run/kv-weston" ] || fail "weston did not start: $(tail -n 3 "$work/weston.log")"
start_game WAYLAND_DISPLAY=kv-weston
wait_exit
[ "$status" = 1 ] || fail "weston without an X server: exit status '$status', not 1"
[ "$(wc -l <"$work/game/out.txt")" = 1 ] && grep -q "seat" "$work/game/out.txt" ||
  fail "weston without an X server: said '$(head -c 300 "$work/game/out.txt")'"

# With an X server beside it, the game goes there even when Wayland is asked for.
"${as_user[@]}" Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
start_game WAYLAND_DISPLAY=kv-weston SDL_VIDEODRIVER=wayland DISPLAY=":$(cat "$work/display")"
x_first_screen() {
  import -display ":$(cat "$work/display")" -window root "$work/shot.ppm" 2>/dev/null &&
    "$convert" "$work/shot.ppm" -depth 8 "rgb:$work/shot.rgb" && has_button 331 407
}
started=
for _ in $(seq 1 50); do
  x_first_screen && started=1 && break
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.2
done
[ -n "$started" ] || fail "weston beside X11: the game did not show on X11: $(head -c 300 "$work/game/out.txt")"
kill -TERM "$game_pid"
wait_exit
[ "$status" = 0 ] || fail "weston beside X11: SIGTERM gave exit status '$status', not 0"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "e2e wayland test passed"
