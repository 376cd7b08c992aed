#pragma once
// The shape of the music loop: its tempo, bars and exact length in sample frames. The generator
// renders exactly this many frames; the tests check that the encoded file decodes to the same.
#include <cstdint>

namespace kv::music {

constexpr int kSampleRate = 44100;
constexpr int kBeatsPerMinute = 126;
constexpr int kStepsPerBeat = 4;  // a step is a sixteenth note
constexpr int kStepsPerBar = 16;
// 44100 * 60 / 126 / 4: a whole number, so every note starts on an exact frame.
constexpr int kFramesPerStep = kSampleRate * 60 / kBeatsPerMinute / kStepsPerBeat;
static_assert(kFramesPerStep * kBeatsPerMinute * kStepsPerBeat == kSampleRate * 60);
constexpr int kFramesPerBar = kFramesPerStep * kStepsPerBar;
constexpr int kBars = 40;
constexpr int64_t kSongFrames = int64_t{kFramesPerBar} * kBars;  // 3 360 000 frames, 76.19 s
constexpr int kChannels = 2;

}  // namespace kv::music
