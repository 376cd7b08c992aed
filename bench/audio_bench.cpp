// How fast the music decodes and the mixer mixes, against real time.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/mp3_decoder.h"

namespace {

// Twenty seconds of 44100 Hz stereo at 192 kbit/s, made by the test build.
const std::string kLongFile = std::string(KV_TEST_FIXTURE_DIR) + "/long44k.mp3";

// Decodes the whole file in the mixer's chunk size; the counter is seconds of music per second.
void BM_DecodeMp3(benchmark::State& state) {
  if (!std::filesystem::exists(kLongFile)) {
    state.SkipWithError("no test_fixtures/long44k.mp3 (build kv_test_fixtures)");
    return;
  }
  std::vector<int16_t> chunk(2 * kv::Mixer::kStreamChunk);
  int64_t frames = 0;
  int rate = 44100;
  for (auto _ : state) {
    auto d = kv::Mp3Decoder::open(kLongFile);
    rate = d->sampleRate();
    for (int n; (n = d->read(chunk.data(), kv::Mixer::kStreamChunk)) > 0;) frames += n;
  }
  state.counters["realtime_x"] =
      benchmark::Counter(static_cast<double>(frames) / rate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);

// Eight resampled one-shot voices looping over a second of sound, mixed in 1024-frame buffers.
void BM_MixEightVoices(benchmark::State& state) {
  auto s = std::make_shared<kv::PcmSample>();
  s->sampleRate = 44100;
  for (int i = 0; i < 44100; ++i) {
    const auto v = static_cast<int16_t>((i * 37) % 20000 - 10000);
    s->bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    s->bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
  kv::Mixer mixer(44100);
  for (int i = 0; i < 8; ++i) {
    const kv::VoiceId v = mixer.addSample(s);
    mixer.setLooped(v, true);
    mixer.setRate(v, 35000 + 2500 * i);
    mixer.play(v, true);
  }
  std::vector<int16_t> out(2 * 1024);
  int64_t frames = 0;
  for (auto _ : state) {
    mixer.mix(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
    frames += 1024;
  }
  state.counters["realtime_x"] =
      benchmark::Counter(static_cast<double>(frames) / 44100, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixEightVoices);

}  // namespace
