#!/bin/bash
# End-to-end smoke test of the real program: it starts korvalundrix under a fresh Xvfb screen of
# exactly 800x600x24, waits for the first screen, checks its pixels (black everywhere except the
# bevelled Play and Exit buttons with their captions), clicks Exit and expects exit status 0. A
# second run is closed by SIGTERM, which must end it cleanly too.
#
#   e2e_smoke_test.sh PATH/TO/korvalundrix
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert).
set -u

program=${1:?usage: e2e_smoke_test.sh PATH/TO/korvalundrix}
program=$(realpath "$program")

# Run the rest inside our own X server; the screen must be exactly the game's size, because desktop
# full screen without a window manager does not cover a larger screen.
if [ -z "${KV_E2E_IN_XVFB:-}" ]; then
  exec env KV_E2E_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$@"
fi

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
convert=/usr/bin/convert  # the real ImageMagick, not a wrapper earlier in PATH
work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Pixel x,y of the raw 800x600 RGB dump as "r g b".
pixel() {
  od -An -tu1 -j $((($2 * 800 + $1) * 3)) -N3 "$work/screen.rgb" | xargs
}

# Brightest and darkest grey level (0..255) in a rectangle W H X Y of the screenshot.
levels() {
  "$convert" "$work/screen.png" -crop "${1}x${2}+${3}+${4}" +repage -colorspace gray -depth 8 \
    -format "%[fx:round(maxima*255)] %[fx:round(minima*255)]" info:
}

screenshot() {
  import -window root "$work/screen.png" 2>/dev/null && "$convert" "$work/screen.png" -depth 8 "rgb:$work/screen.rgb"
}

start_game() {
  (cd "$work" && exec "$program" >"$work/out.txt" 2>&1) &
  pid=$!
  # The window appears first, then its first picture: wait until the Play button's face is there.
  for _ in $(seq 1 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "the program ended early:" >&2
      cat "$work/out.txt" >&2
      return 1
    fi
    if screenshot && [ "$(pixel 340 415)" = "212 208 200" ]; then return 0; fi
    sleep 0.1
  done
  echo "the first screen did not appear within 10 seconds" >&2
  return 1
}

# Waits up to 10 seconds for the program to end; sets status to its exit status.
wait_exit() {
  status="still running"
  for _ in $(seq 1 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      pid=
      return
    fi
    sleep 0.1
  done
}

start_game || exit 1
cp "$work/screen.png" "${KV_E2E_SHOT:-/dev/null}" 2>/dev/null

face="212 208 200"
for b in "Play 331 407" "Exit 331 501"; do
  set -- $b
  name=$1 left=$2 top=$3 right=$(($2 + 126)) bottom=$(($3 + 56))
  # Face colour inside, away from the caption.
  for p in "$((left + 8)) $((top + 8))" "$((right - 8)) $((bottom - 8))" "$((left + 8)) $((bottom - 8))"; do
    [ "$(pixel $p)" = "$face" ] || fail "$name: face colour expected at $p, found $(pixel $p)"
  done
  # Raised bevel: white top-left edge, dark bottom-right edge.
  [ "$(pixel "$left" "$top")" = "255 255 255" ] || fail "$name: no highlight at its top left corner"
  [ "$(pixel "$right" "$bottom")" = "64 64 64" ] || fail "$name: no dark shadow at its bottom right corner"
  # A dark caption in the middle, anti-aliased (grey levels between ink and face).
  read -r hi lo <<<"$(levels 80 20 $((left + 23)) $((top + 18)))"
  [ "$lo" -lt 60 ] || fail "$name: no caption ink in the middle (darkest level $lo)"
  greys=$("$convert" "$work/screen.png" -crop "80x20+$((left + 23))+$((top + 18))" +repage -colorspace gray \
    -depth 8 -unique-colors txt:- | tail -n +2 | wc -l)
  [ "$greys" -ge 4 ] || fail "$name: caption has only $greys grey levels, not anti-aliased"
done

# Black everywhere else: above, left and right of the buttons, between them and below them.
for r in "800 407 0 0" "331 600 0 0" "342 600 458 0" "127 37 331 464" "127 42 331 558"; do
  read -r hi lo <<<"$(levels $r)"
  [ "$hi" = 0 ] || fail "not black in the rectangle $r (brightest level $hi)"
done

# Exit ends the program with status 0.
xdotool mousemove 394 529 click 1
wait_exit
[ "$status" = 0 ] || fail "Exit: expected exit status 0, got '$status'"

# Closing the program from outside (SIGTERM arrives as SDL's quit event) ends it cleanly too.
if start_game; then
  kill -TERM "$pid"
  wait_exit
  [ "$status" = 0 ] || fail "SIGTERM: expected exit status 0, got '$status'"
else
  fail "the second start failed"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "e2e smoke test passed"
