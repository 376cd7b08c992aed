#include "assets/music/instruments.h"

#include <algorithm>
#include <cmath>

#include "assets/music/song_form.h"
#include "assets/sounds/synth.h"

namespace kv::music {

using snd::Biquad;
using snd::kPi;
using snd::Noise;
using snd::smoothStep;

namespace {

constexpr double kRate = kSampleRate;

// The usual polynomial correction of a step inside one sample, so pulses do not alias.
double polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

class Pulse {
 public:
  // One sample of a pulse of width `duty` (0..1) at `hz`, without its DC offset.
  double next(double hz, double duty) {
    const double dt = hz / kRate;
    double v = phase_ < duty ? 1.0 : -1.0;
    v += polyBlep(phase_, dt);
    v -= polyBlep(std::fmod(phase_ + 1.0 - duty, 1.0), dt);
    phase_ += dt;
    if (phase_ >= 1.0) phase_ -= 1.0;
    return v - (2 * duty - 1);
  }

 private:
  double phase_ = 0;
};

class Triangle {
 public:
  double next(double hz) {
    const double v = 4 * std::abs(phase_ - 0.5) - 1;
    phase_ += hz / kRate;
    if (phase_ >= 1.0) phase_ -= 1.0;
    return v;
  }

 private:
  double phase_ = 0.25;  // starts at a zero crossing
};

// Attack, decay to a sustain level, then after the gate a release to exactly nothing.
struct Envelope {
  double attack, decay, sustain, release;
  double at(double t, double gate) const {
    const double held = std::min(t, gate);
    double v = smoothStep(held / attack);
    if (held > attack) v = sustain + (1 - sustain) * std::exp(-(held - attack) / decay);
    if (t > gate) v *= 1 - smoothStep((t - gate) / release);
    return v;
  }
};

struct Tone {
  Envelope env;
  double gateFraction;  // how much of the written length the note is held
};

std::vector<double> buffer(double gate, double release) {
  return std::vector<double>(static_cast<size_t>(std::ceil((gate + release) * kRate)) + 1, 0.0);
}

std::vector<double> lead(const NoteEvent& n, double gate) {
  const Envelope env{0.006, 0.18, 0.6, 0.09};
  std::vector<double> out = buffer(gate, env.release);
  Pulse osc;
  Biquad soft = Biquad::lowPass(3200, 0.7, kRate);
  const double hz = midiHz(n.midi);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    // Vibrato creeps in on held notes; the pulse width drifts slowly.
    const double depth = 0.18 * smoothStep((t - 0.15) / 0.25);
    const double f = hz * std::pow(2.0, depth * std::sin(2 * kPi * 5.5 * t) / 12);
    const double duty = 0.25 + 0.07 * std::sin(2 * kPi * 0.8 * t);
    out[i] = soft.process(osc.next(f, duty)) * env.at(t, gate);
  }
  return out;
}

std::vector<double> harmony(const NoteEvent& n, double gate) {
  const Envelope env{0.02, 0.3, 0.7, 0.15};
  std::vector<double> out = buffer(gate, env.release);
  Triangle tri;
  Pulse square;
  Biquad soft = Biquad::lowPass(1500, 0.7, kRate);
  const double hz = midiHz(n.midi);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    out[i] = (tri.next(hz) + 0.35 * soft.process(square.next(hz * 1.002, 0.5))) * env.at(t, gate);
  }
  return out;
}

std::vector<double> bass(const NoteEvent& n, double gate) {
  const Envelope env{0.003, 0.12, 0.55, 0.04};
  std::vector<double> out = buffer(gate, env.release);
  Triangle tri;
  Pulse square;
  Biquad warm = Biquad::lowPass(900, 1.0, kRate);
  const double hz = midiHz(n.midi);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    // The filter opens a little on each attack for a plucked edge.
    if (i % 64 == 0) warm.retune(Biquad::lowPass(700 + 1400 * std::exp(-t / 0.05), 1.0, kRate));
    out[i] = (0.8 * tri.next(hz) + 0.6 * warm.process(square.next(hz, 0.5))) * env.at(t, gate);
  }
  return out;
}

std::vector<double> arp(const NoteEvent& n, double gate) {
  const Envelope env{0.002, 0.07, 0.2, 0.03};
  std::vector<double> out = buffer(gate, env.release);
  Pulse osc;
  Biquad soft = Biquad::lowPass(2800, 0.7, kRate);
  const double hz = midiHz(n.midi);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = soft.process(osc.next(hz, 0.125)) * env.at(i / kRate, gate);
  return out;
}

std::vector<double> pad(const NoteEvent& n, double gate) {
  const Envelope env{0.25, 0.5, 0.8, 0.4};
  std::vector<double> out = buffer(gate, env.release);
  Triangle a, b;
  Pulse c;
  Biquad dark = Biquad::lowPass(1200, 0.7, kRate);
  const double hz = midiHz(n.midi);
  for (size_t i = 0; i < out.size(); ++i) {
    const double v = a.next(hz * 0.997) + b.next(hz * 1.003) + 0.5 * dark.process(c.next(hz, 0.5));
    out[i] = 0.5 * v * env.at(i / kRate, gate);
  }
  return out;
}

std::vector<double> kick(uint32_t seed) {
  std::vector<double> out(static_cast<size_t>(0.35 * kRate));
  Noise noise(seed);
  Biquad click = Biquad::lowPass(3000, 0.7, kRate);
  double phase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double body = std::sin(phase) * smoothStep(t / 0.001) * std::exp(-t / 0.16);
    phase += 2 * kPi * (48 + 110 * std::exp(-t / 0.03)) / kRate;
    const double tick = 0.3 * click.process(noise.next()) * smoothStep(t / 0.0005) * std::exp(-t / 0.004);
    out[i] = (body + tick) * (1 - smoothStep((t - 0.3) / 0.05));
  }
  return out;
}

std::vector<double> snare(uint32_t seed) {
  std::vector<double> out(static_cast<size_t>(0.3 * kRate));
  Noise noise(seed);
  Biquad rattle = Biquad::bandPass(2200, 0.8, kRate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double attack = smoothStep(t / 0.001);
    const double tone =
        (std::sin(2 * kPi * 185 * t) + 0.5 * std::sin(2 * kPi * 330 * t)) * std::exp(-t / 0.04);
    const double hiss = 1.6 * rattle.process(noise.next()) * std::exp(-t / 0.08);
    out[i] = attack * (0.5 * tone + hiss) * (1 - smoothStep((t - 0.25) / 0.05));
  }
  return out;
}

std::vector<double> hat(uint32_t seed, double decay, double length) {
  std::vector<double> out(static_cast<size_t>(length * kRate));
  Noise noise(seed);
  Biquad high = Biquad::highPass(7000, 0.7, kRate);
  Biquad tame = Biquad::lowPass(12000, 0.7, kRate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double env =
        smoothStep(t / 0.0008) * std::exp(-t / decay) * (1 - smoothStep((t - length + 0.02) / 0.02));
    out[i] = tame.process(high.process(noise.next())) * env;
  }
  return out;
}

std::vector<double> crash(uint32_t seed) {
  std::vector<double> out(static_cast<size_t>(1.6 * kRate));
  Noise noise(seed);
  Biquad band = Biquad::bandPass(6000, 0.6, kRate);
  Biquad tame = Biquad::lowPass(11000, 0.7, kRate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double env = smoothStep(t / 0.003) * std::exp(-t / 0.45) * (1 - smoothStep((t - 1.4) / 0.2));
    out[i] = tame.process(band.process(noise.next())) * env;
  }
  return out;
}

}  // namespace

double midiHz(double midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

std::vector<double> renderNote(const NoteEvent& n, uint32_t seed) {
  const double written = static_cast<double>(n.length) / kRate;
  std::vector<double> out;
  switch (n.voice) {
    case Voice::Lead:
      out = lead(n, written - 0.012);
      break;
    case Voice::Harmony:
      out = harmony(n, written - 0.02);
      break;
    case Voice::Bass:
      out = bass(n, written * 0.8);
      break;
    case Voice::Arp:
      out = arp(n, written * 0.7);
      break;
    case Voice::Pad:
      out = pad(n, written);
      break;
    case Voice::Kick:
      out = kick(seed);
      break;
    case Voice::Snare:
      out = snare(seed);
      break;
    case Voice::HatClosed:
      out = hat(seed, 0.025, 0.09);
      break;
    case Voice::HatOpen:
      out = hat(seed, 0.12, 0.3);
      break;
    case Voice::Crash:
      out = crash(seed);
      break;
  }
  for (double& v : out) v *= n.velocity;
  return out;
}

}  // namespace kv::music
