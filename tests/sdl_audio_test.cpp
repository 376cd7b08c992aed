// The sound card through SDL going away while the game plays and coming back, on SDL's dummy
// audio driver (SDL reports a card gone when its sound server dies; here the test says so itself).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/sdl/sdl_audio.h"
#include "sdl_dummy_backend.h"

namespace kv {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

class SdlAudioTest : public SdlDummyBackendTest {
 protected:
  SdlAudio& audio() { return dynamic_cast<SdlAudio&>(backend.platform().audio); }
  // Frames the mix has been asked for so far, by whoever asked.
  std::atomic<int64_t> frames{0};
  int64_t framesIn(Clock::duration d) const {
    return std::chrono::duration_cast<milliseconds>(d).count() * 441 / 10;
  }
};

TEST_F(SdlAudioTest, TheMixRunsOnInRealTimeWhileTheCardIsGoneAndTheCardIsFoundAgain) {
  ASSERT_TRUE(audio().open(44100, [this](int16_t* out, int n) {
    for (int i = 0; i < 2 * n; ++i) out[i] = 0;
    frames += n;
  }));
  for (int i = 0; i < 200 && frames == 0; ++i) std::this_thread::sleep_for(milliseconds(5));
  const Clock::time_point start = Clock::now();
  const int64_t atStart = frames;
  const uint32_t card = audio().deviceId();
  ASSERT_NE(card, 0u);

  audio().deviceRemoved(card + 1);  // another card going changes nothing
  EXPECT_EQ(audio().deviceId(), card);
  audio().deviceRemoved(card);
  EXPECT_EQ(audio().deviceId(), 0u);
  EXPECT_TRUE(audio().isOpen());  // the game is not told: its sound only pauses

  std::this_thread::sleep_for(milliseconds(300));
  {
    // The game still changes the mix under the lock, which keeps the stand-in waiting.
    AudioLock lock(&audio());
    const int64_t seen = frames;
    std::this_thread::sleep_for(milliseconds(60));
    EXPECT_EQ(frames.load(), seen);
  }
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(audio().deviceId(), 0u);
  // Meanwhile the mix was pulled as fast as time passed, as if heard.
  EXPECT_NEAR(frames - atStart, framesIn(Clock::now() - start), 44100 * 0.15);

  const Clock::time_point deadline = start + milliseconds(SdlAudio::kRetryMs * 3);
  while (audio().deviceId() == 0 && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_NE(audio().deviceId(), 0u) << "the card was not found again";
  std::this_thread::sleep_for(milliseconds(400));
  // Found again, it pulls on from where the stand-in left off.
  EXPECT_NEAR(frames - atStart, framesIn(Clock::now() - start), 44100 * 0.15);

  // Gone a second time, and the game closes meanwhile: nothing is left running.
  audio().deviceRemoved(audio().deviceId());
  EXPECT_TRUE(audio().isOpen());
  audio().close();
  EXPECT_FALSE(audio().isOpen());
  const int64_t closed = frames;
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(frames.load(), closed);
}

}  // namespace
}  // namespace kv
