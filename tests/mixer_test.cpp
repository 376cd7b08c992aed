#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/audio/audio_system.h"
#include "platform/headless/virtual_audio.h"
#include "platform/headless/virtual_clock.h"

namespace kv {
namespace {

std::shared_ptr<PcmSample> sample16(const std::vector<int16_t>& values, int rate = 44100) {
  auto s = std::make_shared<PcmSample>();
  s->format = PcmSample::Format::Signed16;
  s->sampleRate = rate;
  for (int16_t v : values) {
    s->bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    s->bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
  return s;
}

std::vector<int16_t> ramp(int n, int stepSize) {
  std::vector<int16_t> v;
  for (int i = 0; i < n; ++i) v.push_back(static_cast<int16_t>(i * stepSize));
  return v;
}

std::vector<int16_t> mixFrames(Mixer& m, int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2, 12345);
  m.mix(out.data(), frames);
  return out;
}

// A source that counts: frame i holds i on the left and -i on the right.
class CountingSource : public StreamSource {
 public:
  CountingSource(int rate, int total) : rate_(rate), total_(total) {}
  int sampleRate() const override { return rate_; }
  int read(int16_t* out, int frames) noexcept override {
    int n = 0;
    for (; n < frames && next_ < total_; ++n, ++next_) {
      out[2 * n] = static_cast<int16_t>(next_);
      out[2 * n + 1] = static_cast<int16_t>(-next_);
    }
    return n;
  }
  bool rewind() noexcept override {
    next_ = 0;
    ++rewinds;
    return true;
  }
  int rewinds = 0;

 private:
  int rate_;
  int total_;
  int next_ = 0;
};

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override { mixer.setDeclickFrames(0); }  // exact sample values unless a test wants smoothing
  Mixer mixer{44100};
};

TEST_F(MixerTest, SumsVoicesAndSaturatesInsteadOfWrapping) {
  const VoiceId up = mixer.addSample(sample16(std::vector<int16_t>(10, 30000)));
  const VoiceId up2 = mixer.addSample(sample16(std::vector<int16_t>(10, 30000)));
  const VoiceId down = mixer.addSample(sample16(std::vector<int16_t>(20, -25000)));
  const VoiceId down2 = mixer.addSample(sample16(std::vector<int16_t>(20, -25000)));
  for (VoiceId v : {up, up2, down, down2}) mixer.play(v, true);
  auto out = mixFrames(mixer, 30);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(out[2 * i], 10000) << i;    // 2 x 30000 - 2 x 25000
  for (int i = 10; i < 20; ++i) ASSERT_EQ(out[2 * i], -32768) << i;  // -50000 held at the floor
  for (int i = 20; i < 30; ++i) ASSERT_EQ(out[2 * i], 0) << i;
  mixer.play(up, true);
  mixer.play(up2, true);
  out = mixFrames(mixer, 10);
  for (int i = 0; i < 20; ++i) ASSERT_EQ(out[i], 32767) << i;  // 60000 held at the ceiling
}

TEST_F(MixerTest, OneShotPlaysOnceThenFallsSilentAndReportsItsEnd) {
  const auto data = ramp(100, 3);
  const VoiceId v = mixer.addSample(sample16(data));
  EXPECT_FALSE(mixer.isPlaying(v));
  EXPECT_EQ(mixFrames(mixer, 4), std::vector<int16_t>(8, 0));  // a new voice waits for play
  mixer.play(v, false);
  EXPECT_TRUE(mixer.isPlaying(v));
  const auto out = mixFrames(mixer, 150);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(out[2 * i], data[i]) << i;
    ASSERT_EQ(out[2 * i + 1], data[i]) << i;  // mono goes to both sides at full volume
  }
  for (int i = 100; i < 150; ++i) ASSERT_EQ(out[2 * i], 0) << i;
  EXPECT_FALSE(mixer.isPlaying(v));
  EXPECT_TRUE(mixer.atEnd(v));
  EXPECT_EQ(mixer.position(v), 100);
  // Resuming at the end stays silent; starting over plays it again.
  mixer.play(v, false);
  EXPECT_EQ(mixFrames(mixer, 3), std::vector<int16_t>(6, 0));
  EXPECT_FALSE(mixer.isPlaying(v));
  mixer.play(v, true);
  EXPECT_FALSE(mixer.atEnd(v));
  EXPECT_EQ(mixFrames(mixer, 2)[2], data[1]);
}

TEST_F(MixerTest, EightBitUnsignedSamplesAreCentredAndWidened) {
  auto s = std::make_shared<PcmSample>();
  s->format = PcmSample::Format::Unsigned8;
  s->bytes = {128, 255, 0, 129};
  const VoiceId v = mixer.addSample(s);
  mixer.play(v, true);
  const auto out = mixFrames(mixer, 4);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 127 * 256);
  EXPECT_EQ(out[4], -32768);
  EXPECT_EQ(out[6], 256);
}

TEST_F(MixerTest, LoopedVoiceWrapsAroundUntilStoppedAndStopKeepsThePosition) {
  const auto data = ramp(100, 5);
  const VoiceId v = mixer.addSample(sample16(data));
  mixer.setLooped(v, true);
  mixer.play(v, true);
  const auto out = mixFrames(mixer, 1250);  // crosses several mix blocks and loop points
  for (int i = 0; i < 1250; ++i) ASSERT_EQ(out[2 * i], data[i % 100]) << i;
  EXPECT_TRUE(mixer.isPlaying(v));
  EXPECT_FALSE(mixer.atEnd(v));
  EXPECT_EQ(mixer.position(v), 50);
  mixer.stop(v);
  EXPECT_EQ(mixFrames(mixer, 10), std::vector<int16_t>(20, 0));
  EXPECT_EQ(mixer.position(v), 50);
  mixer.play(v, false);
  EXPECT_EQ(mixFrames(mixer, 1)[0], data[50]);
  mixer.setPosition(v, 10);
  EXPECT_EQ(mixFrames(mixer, 1)[0], data[10]);
}

TEST_F(MixerTest, RateChangeTakesEffectOnAPlayingVoiceWithoutRestartingIt) {
  // 22050 Hz played at 44100: every source frame lasts two output frames, interpolated between.
  const VoiceId v = mixer.addSample(sample16(ramp(1000, 10), 22050));
  EXPECT_EQ(mixer.rate(v), 22050);
  mixer.play(v, true);
  auto out = mixFrames(mixer, 100);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(out[2 * i], i * 5) << i;  // 10 * i / 2
  EXPECT_EQ(mixer.position(v), 50);
  mixer.setRate(v, 88200);  // now two source frames per output frame, from where it is
  out = mixFrames(mixer, 100);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(out[2 * i], 500 + i * 20) << i;
  EXPECT_EQ(mixer.position(v), 250);
  EXPECT_TRUE(mixer.isPlaying(v));
  mixer.setRate(v, 0);  // back to its own rate
  EXPECT_EQ(mixer.rate(v), 22050);
  // A rate that does not divide evenly still interpolates along the ramp.
  mixer.setRate(v, 30000);
  out = mixFrames(mixer, 50);
  for (int i = 1; i < 50; ++i) {
    const double expected = 2500 + 10.0 * 30000.0 / 44100.0 * i;
    ASSERT_NEAR(out[2 * i], expected, 1.01) << i;
  }
}

TEST_F(MixerTest, CopiesShareTheDataButPlayOnTheirOwn) {
  auto data = sample16(ramp(200, 7), 22050);
  const VoiceId first = mixer.addSample(data);
  mixer.setLooped(first, true);
  mixer.setRate(first, 44100);
  const VoiceId second = mixer.copyVoice(first);
  ASSERT_NE(second, 0u);
  ASSERT_NE(second, first);
  EXPECT_EQ(data.use_count(), 3);  // the test's pointer and two voices, one recording
  EXPECT_EQ(mixer.rate(second), 44100);
  mixer.setLooped(second, false);
  mixer.play(first, true);
  auto out = mixFrames(mixer, 50);
  mixer.play(second, true);
  out = mixFrames(mixer, 200);
  for (int i = 0; i < 150; ++i) ASSERT_EQ(out[2 * i], 7 * (50 + i) + 7 * i) << i;
  for (int i = 150; i < 200; ++i) ASSERT_EQ(out[2 * i], 7 * ((50 + i) % 200) + 7 * i) << i;
  mixer.removeVoice(first);
  EXPECT_FALSE(mixer.hasVoice(first));
  EXPECT_EQ(data.use_count(), 2);
  EXPECT_FALSE(mixer.isPlaying(second));  // it played once and ended
  mixer.play(second, true);
  EXPECT_EQ(mixFrames(mixer, 3)[4], 14);
}

TEST_F(MixerTest, StaleIdsNameNoVoice) {
  const VoiceId v = mixer.addSample(sample16({1000, 1000}));
  mixer.removeVoice(v);
  const VoiceId w = mixer.addSample(sample16({5, 5}));
  EXPECT_NE(v, w);  // ids are not reused
  for (VoiceId id : {v, VoiceId{0}, VoiceId{999}}) {
    mixer.play(id, true);
    mixer.setRate(id, 1);
    mixer.setLooped(id, true);
    mixer.setPosition(id, 1);
    mixer.stop(id);
    mixer.removeVoice(id);
    EXPECT_FALSE(mixer.isPlaying(id));
    EXPECT_EQ(mixer.copyVoice(id), 0u);
  }
  EXPECT_EQ(mixFrames(mixer, 2), std::vector<int16_t>(4, 0));
  EXPECT_EQ(mixer.addSample(nullptr), 0u);
}

TEST_F(MixerTest, StreamVoicePullsItsSourceAndResamplesIt) {
  auto same = std::make_shared<CountingSource>(44100, 3000);
  const VoiceId v = mixer.addStream(same);
  mixer.play(v, false);
  auto out = mixFrames(mixer, 2500);
  for (int i = 0; i < 2500; ++i) {
    ASSERT_EQ(out[2 * i], i) << i;
    ASSERT_EQ(out[2 * i + 1], -i) << i;
  }
  EXPECT_EQ(mixer.position(v), 2500);
  out = mixFrames(mixer, 600);
  EXPECT_EQ(out[2 * 499], 2999);
  EXPECT_EQ(out[2 * 500], 0);
  EXPECT_FALSE(mixer.isPlaying(v));
  EXPECT_TRUE(mixer.atEnd(v));
  EXPECT_EQ(mixer.position(v), 3000);
  mixer.play(v, true);
  EXPECT_EQ(same->rewinds, 1);
  EXPECT_EQ(mixer.position(v), 0);
  EXPECT_EQ(mixFrames(mixer, 2)[2], 1);
  EXPECT_EQ(mixer.copyVoice(v), 0u);  // one source cannot feed two voices

  // A slower source is stretched, a faster one skips ahead, both along the ramp.
  auto slow = std::make_shared<CountingSource>(11025, 5000);
  auto fast = std::make_shared<CountingSource>(48000, 5000);
  mixer.removeVoice(v);
  const VoiceId s = mixer.addStream(slow);
  mixer.play(s, false);
  out = mixFrames(mixer, 4000);
  for (int i = 0; i < 4000; ++i) ASSERT_EQ(out[2 * i], i / 4) << i;
  EXPECT_EQ(mixer.position(s), 1000);
  mixer.removeVoice(s);
  const VoiceId f = mixer.addStream(fast);
  mixer.play(f, false);
  out = mixFrames(mixer, 4000);
  for (int i = 0; i < 4000; ++i) ASSERT_NEAR(out[2 * i], i * 48000.0 / 44100.0, 1.0) << i;
  EXPECT_NEAR(static_cast<double>(mixer.position(f)), 4000 * 48000.0 / 44100.0, 1.0);
  out = mixFrames(mixer, 1000);
  EXPECT_TRUE(mixer.atEnd(f));
  EXPECT_EQ(mixer.position(f), 5000);
}

TEST_F(MixerTest, SmoothingTurnsStopsAndStartsIntoShortRamps) {
  mixer.setDeclickFrames(64);
  const VoiceId v = mixer.addSample(sample16(std::vector<int16_t>(5000, 16000)));
  mixer.play(v, true);
  std::vector<int16_t> heard;
  auto listen = [&](int frames) {
    const auto out = mixFrames(mixer, frames);
    for (size_t i = 0; i < out.size(); i += 2) heard.push_back(out[i]);
  };
  listen(100);  // fades in from silence
  mixer.stop(v);
  listen(100);  // fades out from where it was
  mixer.play(v, false);
  listen(30);
  mixer.play(v, true);  // a jump while playing (here from one level to the same) changes nothing
  listen(100);
  mixer.removeVoice(v);  // even a removed voice fades out
  listen(100);
  ASSERT_EQ(heard.size(), 430u);
  EXPECT_EQ(heard[0], 16000 - 16000);
  EXPECT_EQ(heard[99], 16000);
  EXPECT_EQ(heard[100], 16000);
  EXPECT_EQ(heard[199], 0);
  EXPECT_EQ(heard[329], 16000);
  EXPECT_EQ(heard[429], 0);
  int worst = 0;
  for (size_t i = 1; i < heard.size(); ++i) worst = std::max(worst, std::abs(heard[i] - heard[i - 1]));
  EXPECT_LE(worst, 16000 / 64 + 1);
  // A one-shot that ends on a loud frame fades out too.
  const VoiceId w = mixer.addSample(sample16(std::vector<int16_t>(10, -20000)));
  mixer.play(w, true);
  heard.clear();
  listen(200);
  EXPECT_EQ(heard[199], 0);
  worst = 0;
  for (size_t i = 1; i < heard.size(); ++i) worst = std::max(worst, std::abs(heard[i] - heard[i - 1]));
  EXPECT_LE(worst, 20000 / 64 + 1);
}

TEST(AudioSystemTest, OpensOnTheFirstUserAndClosesWithTheLast) {
  VirtualClock clock;
  VirtualAudio card(clock);
  AudioSystem audio(card);
  EXPECT_FALSE(audio.isOpen());
  {
    auto guard = audio.lock();  // harmless while closed
    audio.mixer().setDeclickFrames(0);
    const VoiceId v = audio.mixer().addSample(sample16(std::vector<int16_t>(44100, 1000)));
    audio.mixer().play(v, true);
  }
  audio.release();  // no user yet: nothing happens
  ASSERT_TRUE(audio.acquire());
  ASSERT_TRUE(audio.acquire());
  EXPECT_TRUE(audio.isOpen());
  int64_t heardFrames = 0;
  int64_t loudFrames = 0;
  card.setTap([&](const int16_t* s, int frames) {
    heardFrames += frames;
    for (int i = 0; i < frames; ++i) loudFrames += s[2 * i] == 1000;
  });
  clock.advanceTo(100'000'000);  // 100 ms: the card pulls exactly 4410 frames through the mixer
  EXPECT_EQ(heardFrames, 4410);
  EXPECT_EQ(loudFrames, 4410);
  audio.release();
  EXPECT_TRUE(audio.isOpen());
  audio.release();
  EXPECT_FALSE(audio.isOpen());
  clock.advanceTo(200'000'000);
  EXPECT_EQ(heardFrames, 4410);  // closed: nothing is pulled

  card.setOpenFails(true);
  EXPECT_FALSE(audio.acquire());
  EXPECT_FALSE(audio.isOpen());
  audio.release();
  card.setOpenFails(false);
  EXPECT_TRUE(audio.acquire());
  audio.release();
}

}  // namespace
}  // namespace kv
