#include "assets/music/mixer.h"

#include <algorithm>
#include <cmath>

#include "assets/music/instruments.h"
#include "assets/music/song_form.h"
#include "assets/sounds/synth.h"
#include "platform/support/rounding.h"

namespace kv::music {

namespace {

struct Placement {
  double gain;
  double pan;   // -1 left .. 1 right
  double echo;  // share sent to the echo
};

Placement placementOf(Voice v) {
  switch (v) {
    case Voice::Lead:
      return {0.34, -0.15, 0.30};
    case Voice::Harmony:
      return {0.30, 0.35, 0.10};
    case Voice::Bass:
      return {0.60, 0.0, 0.0};
    case Voice::Arp:
      return {0.30, 0.45, 0.25};
    case Voice::Pad:
      return {0.30, -0.3, 0.15};
    case Voice::Kick:
      return {0.50, 0.0, 0.0};
    case Voice::Snare:
      return {0.50, -0.08, 0.05};
    case Voice::HatClosed:
      return {0.35, 0.3, 0.0};
    case Voice::HatOpen:
      return {0.30, 0.3, 0.0};
    case Voice::Crash:
      return {0.25, -0.35, 0.0};
  }
  return {0, 0, 0};
}

uint32_t seedOf(const NoteEvent& n) {
  uint32_t h = 2166136261u;
  for (const int64_t v : {n.start, static_cast<int64_t>(n.voice), static_cast<int64_t>(n.midi)}) {
    h = (h ^ static_cast<uint32_t>(v & 0xFFFFFFFF)) * 16777619u;
  }
  return h;
}

// Ping-pong: the first repeat comes from the left, the next from the right, and so on, each a
// little darker than the one before.
void addEcho(const std::vector<double>& send, std::vector<double>& left, std::vector<double>& right) {
  const size_t delay = 3 * kFramesPerStep;  // a dotted eighth
  const double feedback = 0.42, wet = 0.55;
  std::vector<double> dl(send.size(), 0.0), dr(send.size(), 0.0);
  snd::Biquad toneL = snd::Biquad::lowPass(3500, 0.7, kSampleRate);
  snd::Biquad toneR = snd::Biquad::lowPass(3500, 0.7, kSampleRate);
  for (size_t i = 0; i < send.size(); ++i) {
    const double outL = i >= delay ? dl[i - delay] : 0.0;
    const double outR = i >= delay ? dr[i - delay] : 0.0;
    dl[i] = send[i] + feedback * toneR.process(outR);
    dr[i] = feedback * toneL.process(outL);
    left[i] += wet * outL;
    right[i] += wet * outR;
  }
}

}  // namespace

std::vector<int16_t> mixSong(const std::vector<NoteEvent>& notes) {
  const auto frames = static_cast<size_t>(kSongFrames);
  std::vector<double> left(frames, 0.0), right(frames, 0.0), send(frames, 0.0);
  snd::Noise humanise(0x7E1D0u);
  for (const NoteEvent& n : notes) {
    const Placement p = placementOf(n.voice);
    const double angle = (p.pan + 1) * snd::kPi / 4;  // equal power
    const double g = p.gain * (1 + 0.04 * humanise.next());
    const std::vector<double> sound = renderNote(n, seedOf(n));
    const auto start = static_cast<size_t>(n.start);
    for (size_t i = 0; i < sound.size() && start + i < frames; ++i) {
      const double v = g * sound[i];
      left[start + i] += v * std::cos(angle);
      right[start + i] += v * std::sin(angle);
      send[start + i] += v * p.echo;
    }
  }
  addEcho(send, left, right);

  // Below 25 Hz there is nothing but drift.
  snd::Biquad lowCutL = snd::Biquad::highPass(25, 0.7, kSampleRate);
  snd::Biquad lowCutR = snd::Biquad::highPass(25, 0.7, kSampleRate);
  double peak = 0;
  for (size_t i = 0; i < frames; ++i) {
    left[i] = lowCutL.process(left[i]);
    right[i] = lowCutR.process(right[i]);
    peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
  }
  const double gain = peak > 0 ? 0.89 / peak : 1.0;
  // The last two steps fall to silence: the drums' final hit has rung out by then.
  const size_t fade = 2 * kFramesPerStep;
  std::vector<int16_t> out(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    const double tail =
        i + fade >= frames ? snd::smoothStep(static_cast<double>(frames - 1 - i) / fade) : 1.0;
    out[2 * i] = static_cast<int16_t>(roundEven(32767.0L * gain * tail * left[i]));
    out[2 * i + 1] = static_cast<int16_t>(roundEven(32767.0L * gain * tail * right[i]));
  }
  return out;
}

}  // namespace kv::music
