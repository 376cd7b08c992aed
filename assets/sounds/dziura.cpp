// "dziura": the vehicle is wrecked, by falling into a pit or by a rock. A dull thud and a short
// metallic clang, then the machine powers down in a falling, wobbling whine while loose parts
// rattle and settle. 11025 Hz, 8 bits, 14336 samples (1.3 s).
#include <cmath>

#include "assets/sounds/synth.h"

using namespace kv::snd;

namespace {

constexpr double kRate = 11025;
constexpr size_t kSamples = 14336;

// The hit: a low thud dropping in pitch and a burst of dark noise.
double impact(double t, double& thudPhase, Noise& noise, Biquad& dark) {
  const double thudHz = sweep(110, 42, t, 0.25);
  thudPhase += 2 * kPi * thudHz / kRate;
  const double thud = std::sin(thudPhase) * std::exp(-t / 0.11);
  const double burst = dark.process(noise.next()) * std::exp(-t / 0.045);
  return 0.75 * thud + 0.9 * burst;
}

// Armour plates ringing: a few inharmonic partials with their own decays.
double clang(double t) {
  struct Partial {
    double hz, amp, decay;
  };
  static const Partial partials[] = {
      {317, 0.30, 0.30}, {742, 0.20, 0.22}, {1183, 0.12, 0.15}, {1629, 0.07, 0.10}, {2210, 0.04, 0.07},
  };
  double sum = 0;
  for (const Partial& p : partials) sum += p.amp * std::sin(2 * kPi * p.hz * t) * std::exp(-t / p.decay);
  return sum;
}

// The power-down whine: a soft saw falling from 520 Hz to 70 Hz, wobbling as it goes.
double whine(double t, double& phase) {
  const double hz = sweep(520, 70, t, 1.2) * (1 + 0.03 * std::sin(2 * kPi * 7 * t));
  phase += 2 * kPi * hz / kRate;
  const double level = smoothStep(t / 0.06) * std::exp(-t / 0.55);
  return 0.28 * level * harmonicTone(phase, hz, 2400, 1.3, false);
}

}  // namespace

int main(int argc, char** argv) {
  Signal s(kSamples);
  Noise noise(0xD21A7Au);
  Noise debrisNoise(0x5EB815u);
  Biquad dark = Biquad::lowPass(1800, 0.7, kRate);
  Biquad grit = Biquad::bandPass(2600, 1.5, kRate);
  double whinePhase = 0, thudPhase = 0;
  // Loose parts: short ticks of gritty noise, thinning out over time.
  double nextRattle = 0.08;
  double rattleStart = -1, rattleAmp = 0;
  for (size_t i = 0; i < kSamples; ++i) {
    const double t = i / kRate;
    double v = impact(t, thudPhase, noise, dark) + clang(t) + whine(t, whinePhase);
    if (t >= nextRattle) {
      rattleStart = t;
      rattleAmp = 0.4 * (0.5 + 0.5 * debrisNoise.unit()) * std::exp(-t / 0.5);
      nextRattle = t + 0.03 + 0.09 * debrisNoise.unit() * (1 + 2 * t);
    }
    if (rattleStart >= 0) {
      const double age = t - rattleStart;
      v += rattleAmp * grit.process(debrisNoise.next()) * smoothStep(age / 0.001) * std::exp(-age / 0.006);
    }
    s[i] = v;
  }
  removeDc(s);
  normalisePeak(s, 0.85);
  applyFades(s, 8, 1100);
  return writeRecording(argc, argv, 11025, 8, s, 14336);
}
