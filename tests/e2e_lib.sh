# Shared by the end-to-end scripts: runs the real program under its own Xvfb screen (800x600x24,
# or the size in screen=WxH set before sourcing), with no window manager, takes screenshots with
# ImageMagick and checks pixels. Source it with the program's path as $1 after `set -u`.

program=$(realpath "${1:?usage: $0 PATH/TO/korvalundrix}")
# shellcheck source=../scripts/buttons.sh
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/buttons.sh"
screen=${screen:-800x600}
screen_w=${screen%x*}
screen_h=${screen#*x}

# Run the whole script inside our own X server.
if [ -z "${KV_E2E_IN_XVFB:-}" ]; then
  exec env KV_E2E_IN_XVFB=1 xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" "$@"
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

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$1"
  exit 0
}

# Pixel x,y of the last screenshot as "r g b".
pixel() {
  od -An -tu1 -j $((($2 * screen_w + $1) * 3)) -N3 "$work/screen.rgb" | xargs
}

# Brightest and darkest grey level (0..255) in a rectangle W H X Y of the last screenshot.
levels() {
  "$convert" "$work/screen.png" -crop "${1}x${2}+${3}+${4}" +repage -colorspace gray -depth 8 \
    -format "%[fx:round(maxima*255)] %[fx:round(minima*255)]" info:
}

# How many pixels of a rectangle W H X Y are within 2% of a colour (#RRGGBB).
count_colour() {
  "$convert" "$work/screen.png" -crop "${1}x${2}+${3}+${4}" +repage -fuzz 2% -fill white -opaque "$5" \
    -fill black +opaque white -colorspace gray -format "%[fx:round(mean*w*h)]" info:
}

# Takes a screenshot; with a name, keeps a copy as $KV_E2E_SHOTS/name.png when that folder is set.
screenshot() {
  import -window root "$work/screen.png" 2>/dev/null && "$convert" "$work/screen.png" -depth 8 "rgb:$work/screen.rgb" ||
    return 1
  if [ -n "${1:-}" ] && [ -n "${KV_E2E_SHOTS:-}" ]; then
    mkdir -p "$KV_E2E_SHOTS" && cp "$work/screen.png" "$KV_E2E_SHOTS/$1.png"
  fi
}

# Where the game's 800x600 screen lies on the X screen: the window's place, with the picture
# scaled into it and centred between black bars. Identity for a full 800x600 screen.
view_x=0
view_y=0
view_scale=1
update_view() {
  local id
  id=$(xdotool search --onlyvisible --name '^KORVALUNDRIX$' 2>/dev/null | head -1)
  [ -n "$id" ] || return 1
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$id")"
  window_geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"
  read -r view_x view_y view_scale <<<"$(awk -v x="$X" -v y="$Y" -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
    s = (w * 600 > h * 800) ? h / 600 : w / 800
    printf "%d %d %.6f", x + int((w - int(800 * s + 0.999)) / 2), y + int((h - int(600 * s + 0.999)) / 2), s }')"
}

# The screen pixel showing the middle of the game's pixel GX GY.
at() {
  awk -v gx="$1" -v gy="$2" -v x="$view_x" -v y="$view_y" -v s="$view_scale" \
    'BEGIN { printf "%d %d", x + int((gx + 0.5) * s), y + int((gy + 0.5) * s) }'
}

# True when the screen pixel showing the game's pixel GX GY, or one beside it, is "r g b": a scaled
# picture's edges fall a screen pixel either way depending on how the renderer rounds them.
colour_near() {
  local x y dx dy
  read -r x y <<<"$(at "$1" "$2")"
  for dy in 0 -1 1; do
    for dx in 0 -1 1; do
      [ "$(pixel $((x + dx)) $((y + dy)))" = "$3" ] && return 0
    done
  done
  return 1
}

# A rectangle W H X Y of the game's screen as the screen's rectangle.
area() {
  local x y
  read -r x y <<<"$(at "$3" "$4")"
  awk -v w="$1" -v h="$2" -v s="$view_scale" -v x="$x" -v y="$y" \
    'BEGIN { printf "%d %d %d %d", int(w * s), int(h * s), x, y }'
}

# Moves the pointer to the game's pixel GX GY and clicks there.
click_at() {
  xdotool mousemove $(at "$1" "$2") click 1
}

# Starts the program (with the options given) in an empty working folder and waits for its first
# screen (Play's face).
start_game() {
  (cd "$work" && exec "$program" "$@" >"$work/out.txt" 2>&1) &
  pid=$!
  for _ in $(seq 1 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "the program ended early:" >&2
      cat "$work/out.txt" >&2
      return 1
    fi
    if screenshot && update_view && [ "$(pixel $(at 340 415))" = "212 208 200" ]; then return 0; fi
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

# Takes screenshots until a condition (a command run after each) holds, for up to N seconds.
# Returns 1 when it never did; the last screenshot stays for the checks that follow.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 5))
  for _ in $(seq 1 "$tries"); do
    screenshot && "$@" && return 0
    sleep 0.2
  done
  return 1
}

has_button() { [ "$(pixel $(at $(($1 + 3)) $(($2 + 3))))" = "212 208 200" ]; }

# A push button's face at the given place of the game's screen (left top), away from its caption.
expect_button() {
  local name=$1 left=$2 top=$3
  has_button "$left" "$top" || fail "$name: no button face at $left,$top"
}

expect_no_button() {
  local name=$1 left=$2 top=$3
  ! has_button "$left" "$top" || fail "$name: a button is still shown at $left,$top"
}
