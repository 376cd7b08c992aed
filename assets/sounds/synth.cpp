#include "assets/sounds/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "platform/audio/wave_writer.h"
#include "platform/support/rounding.h"

namespace kv::snd {

double Noise::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

namespace {
struct Prewarp {
  double cosw, alpha;
};
Prewarp prewarp(double hz, double q, double rate) {
  const double w = 2 * kPi * std::min(hz, 0.49 * rate) / rate;
  return {std::cos(w), std::sin(w) / (2 * q)};
}
}  // namespace

Biquad Biquad::lowPass(double cutoffHz, double q, double rate) {
  const auto [c, a] = prewarp(cutoffHz, q, rate);
  Biquad f;
  const double a0 = 1 + a;
  f.b0_ = (1 - c) / 2 / a0;
  f.b1_ = (1 - c) / a0;
  f.b2_ = f.b0_;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - a) / a0;
  return f;
}

Biquad Biquad::highPass(double cutoffHz, double q, double rate) {
  const auto [c, a] = prewarp(cutoffHz, q, rate);
  Biquad f;
  const double a0 = 1 + a;
  f.b0_ = (1 + c) / 2 / a0;
  f.b1_ = -(1 + c) / a0;
  f.b2_ = f.b0_;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - a) / a0;
  return f;
}

Biquad Biquad::bandPass(double centreHz, double q, double rate) {
  const auto [c, a] = prewarp(centreHz, q, rate);
  Biquad f;
  const double a0 = 1 + a;
  f.b0_ = a / a0;
  f.b1_ = 0;
  f.b2_ = -a / a0;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - a) / a0;
  return f;
}

double Biquad::process(double x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

void Biquad::retune(const Biquad& other) {
  b0_ = other.b0_;
  b1_ = other.b1_;
  b2_ = other.b2_;
  a1_ = other.a1_;
  a2_ = other.a2_;
}

double smoothStep(double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  return 0.5 - 0.5 * std::cos(kPi * x);
}

double sweep(double from, double to, double t, double length) {
  const double x = std::clamp(t / length, 0.0, 1.0);
  return from * std::pow(to / from, x);
}

void applyFades(Signal& s, size_t in, size_t out) {
  const size_t n = s.size();
  for (size_t i = 0; i < in && i < n; ++i) s[i] *= smoothStep(static_cast<double>(i) / in);
  for (size_t i = 0; i < out && i < n; ++i) s[n - 1 - i] *= smoothStep(static_cast<double>(i) / out);
}

void removeDc(Signal& s) {
  if (s.empty()) return;
  double sum = 0;
  for (double v : s) sum += v;
  const double mean = sum / static_cast<double>(s.size());
  for (double& v : s) v -= mean;
}

void normalisePeak(Signal& s, double peak) {
  double m = 0;
  for (double v : s) m = std::max(m, std::abs(v));
  if (m <= 0) return;
  const double g = peak / m;
  for (double& v : s) v *= g;
}

double harmonicTone(double phase, double hz, double cutoffHz, double tilt, bool oddOnly) {
  double sum = 0;
  const int step = oddOnly ? 2 : 1;
  // Full weight up to 70 % of the cutoff, then a raised-cosine fade to nothing at the cutoff.
  for (int k = 1; k * hz < cutoffHz; k += step) {
    const double fade = k == 1 ? 1.0 : smoothStep((cutoffHz - k * hz) / (0.3 * cutoffHz));
    sum += fade * std::sin(k * phase) / std::pow(k, tilt);
  }
  return sum;
}

std::vector<uint8_t> toPcm8(const Signal& s) {
  std::vector<uint8_t> out;
  out.reserve(s.size());
  for (double v : s) {
    const long double scaled = 128.0L + 127.0L * std::clamp(v, -1.0, 1.0);
    out.push_back(static_cast<uint8_t>(std::clamp<int64_t>(roundEven(scaled), 0, 255)));
  }
  return out;
}

std::vector<uint8_t> toPcm16(const Signal& s) {
  std::vector<uint8_t> out;
  out.reserve(2 * s.size());
  for (double v : s) {
    const auto x = static_cast<int16_t>(roundEven(32767.0L * std::clamp(v, -1.0, 1.0)));
    const auto u = static_cast<uint16_t>(x);
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
  return out;
}

int writeRecording(int argc, char** argv, uint32_t rate, uint16_t bits, const Signal& s,
                   size_t requiredDataBytes) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argc > 0 ? argv[0] : "soundgen");
    return 2;
  }
  WaveData wave;
  wave.format = pcmFormat(rate, bits, 1);
  wave.data = bits == 8 ? toPcm8(s) : toPcm16(s);
  if (wave.data.size() != requiredDataBytes) {
    std::fprintf(stderr, "%s: %zu data bytes, the catalogue needs %zu\n", argv[1], wave.data.size(),
                 requiredDataBytes);
    return 1;
  }
  const std::vector<uint8_t> bytes = writeRiffWave(wave);
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "%s: cannot write\n", argv[1]);
    return 1;
  }
  return 0;
}

}  // namespace kv::snd
