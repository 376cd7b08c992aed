#!/usr/bin/env bash
# Remakes the generated seeds of the fuzz corpora from the game's own writers and assets (the text
# seeds of the script and command-line corpora are written by hand and kept as they are).
#   fuzz/make_seeds.sh FUZZ_BUILD_DIR
# FUZZ_BUILD_DIR is a build configured with -DKV_FUZZ=ON; lame encodes the music seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: fuzz/make_seeds.sh FUZZ_BUILD_DIR}"
cmake --build "$build" -j2 --target kv_make_fuzz_seeds kv_images kv_data kv_sounds korvalundrix >/dev/null
tones="$(mktemp -d)"
trap 'rm -rf "$tones"' EXIT
mkdir -p fuzz/tdib/corpus fuzz/wave/corpus fuzz/matrix_font/corpus fuzz/music/corpus fuzz/recording/corpus
"$build/fuzz/kv_make_fuzz_seeds" fuzz/tdib/corpus fuzz/wave/corpus "$tones"

# Real assets, the small ones.
for picture in kolo pocisk1 bomba; do cp "$build/assets/images/$picture.tdib" fuzz/tdib/corpus/; done
cp "$build/assets/sounds/strzal.wav" fuzz/wave/corpus/
cp "$build/data/alfabet" fuzz/matrix_font/corpus/alfabet
head -c 700 "$build/data/alfabet" > fuzz/matrix_font/corpus/alfabet_short
{ printf '\x02\x04\x04KORVA @Z'; head -c 320 /dev/zero | tr '\0' '\042'; } > fuzz/matrix_font/corpus/caption_header

# Music: two tiny MP3s (one with the encoder's info tag, one without), one cut short, a WAV under
# the MP3's name.
lame --quiet -b 8 -m m --resample 8 "$tones/tone8k_mono.wav" fuzz/music/corpus/tone8k_mono.mp3
lame --quiet -b 128 -m s -t "$tones/tone44k_stereo.wav" fuzz/music/corpus/tone44k_notag.mp3
size=$(stat -c %s fuzz/music/corpus/tone8k_mono.mp3)
head -c $((size * 2 / 3)) fuzz/music/corpus/tone8k_mono.mp3 > fuzz/music/corpus/tone8k_cut.mp3
cp "$tones/tone8k_mono.wav" fuzz/music/corpus/wave_named.mp3

# The game: byte 0 the machine (refresh-rate index, bit 4 no sound card, bit 5 a joystick), byte 1
# the seed, then operations, each (wait index << 5) | what, with their parameter bytes (see
# fuzz/game/game_fuzz.cpp).
game=fuzz/game/corpus
mkdir -p "$game"
# The intro, Play, a digit key, a state line, Exit.
printf '\x00\x01\x0a\x60\x80\xa0\x90\x03\xbd\x88\x00' > "$game/menus"
# Level 1 with jumps, Stop, then level 3 with the gun held.
printf '\x00\x02\x0a\x60\x80\xa0\x81\xcd\x01\x8e\x01\xaf\x01\x8f\x01\xbd\x87\x83\xcd\x03\xfd\xfd' > "$game/pits_and_rocks"
# 120 Hz with a joystick: level 4 before the intro, fire held, Left held and let go, the stick pushed.
printf '\x29\x07\x00\x84\xcd\x03\xad\x00\xae\x00\x9b\x80\x00\x01\xbd\xfd' > "$game/saucers"
# Level 2 through minimise, lost surfaces (also for good), focus, full-screen switches, the joystick
# plugged and pulled, the sound card lost, a screenshot, the ground, an odd key code, Stop and a close.
printf '\x00\x03\x0a\x60\x80\xa0\x82\xdd\x93\x94\x99\x00\x99\x01\x99\x00\x99\x01\x95\x96\x97\x98' > "$game/faults"
printf '\x9a\x00\x9a\x01\x9c\x9e\x9f\x91\x7f\x92\x7f\xa7\x88\x01' >> "$game/faults"
# 144 Hz without a sound card: level 6 fast with the gun held, a jump, a digit key.
printf '\x1a\x09\x00\x86\xcd\x00\x0d\x03\xaf\x01\x90\x00\xfd' > "$game/level6_fast"
# A display that cannot tell its rate (all speeds 0): level 5.
printf '\x01\x04\x00\x85\xdd\xfd' > "$game/no_refresh_rate"

# Recordings by the game itself: the start screen closed at once, and a level with fire and a jump
# stopped after a few seconds (with the sound card's frames at every lock and look).
printf '100 quit\n' > "$tones/quit.script"
"$build/korvalundrix" --headless --seed 1 --script "$tones/quit.script" --record fuzz/recording/corpus/start_closed
printf '100 click 394 435\n300 click 352 482\n3500 down 32\n4000 down 38\n4100 up 38\n5000 click 53 20\n' \
  > "$tones/level.script"
"$build/korvalundrix" --headless --seed 2 --script "$tones/level.script" --record fuzz/recording/corpus/level2
