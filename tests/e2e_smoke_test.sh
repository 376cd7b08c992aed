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

source "$(dirname "$0")/e2e_lib.sh"

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
xdotool mousemove "$EXIT_X" "$EXIT_Y" click 1
wait_exit
[ "$status" = 0 ] || fail "Exit: expected exit status 0, got '$status'"

# Closing the program from outside (SIGTERM asks it to stop, as a close of its window does) ends
# it cleanly too.
if start_game; then
  kill -TERM "$pid"
  wait_exit
  [ "$status" = 0 ] || fail "SIGTERM: expected exit status 0, got '$status'"
else
  fail "the second start failed"
fi

finish "e2e smoke test passed"
