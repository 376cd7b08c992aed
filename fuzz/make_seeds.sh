#!/usr/bin/env bash
# Remakes the generated seeds of the fuzz corpora from the game's own writers and assets (the text
# seeds of the script and command-line corpora are written by hand and kept as they are).
#   fuzz/make_seeds.sh FUZZ_BUILD_DIR
# FUZZ_BUILD_DIR is a build configured with -DKV_FUZZ=ON; lame encodes the music seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: fuzz/make_seeds.sh FUZZ_BUILD_DIR}"
cmake --build "$build" -j2 --target kv_make_fuzz_seeds kv_images kv_data kv_sounds >/dev/null
tones="$(mktemp -d)"
trap 'rm -rf "$tones"' EXIT
mkdir -p fuzz/tdib/corpus fuzz/wave/corpus fuzz/matrix_font/corpus fuzz/music/corpus
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
