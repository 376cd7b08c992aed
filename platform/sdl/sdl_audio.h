#pragma once
// The sound card through SDL audio: 16-bit stereo, the callback pulls from the game's mixer.
//
// A card that goes away while open (a sound server killed or restarted, a headset pulled out) does
// not end the game's sound for good. The game is not told: until a card is back, a stand-in thread
// goes on pulling the mix in real time and throws it away, so the music and the sounds move on as
// if heard, and now and then, away from the game's thread, it starts SDL's audio driver again and
// opens the default card. The sound comes back at the point it would have reached.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/seam/audio_device.h"

namespace kv {

class SdlAudio : public AudioDevice {
 public:
  SdlAudio() = default;
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  bool open(int sampleRate, MixCallback mix) override;
  void close() override;
  // Also while the stand-in plays for a card that went away.
  bool isOpen() const override { return open_; }
  int sampleRate() const override { return rate_; }
  void lock() override;
  void unlock() override;

  // SDL reported an output device gone (SDL_AUDIODEVICEREMOVED); when it is ours, the stand-in takes
  // over until a card is back. Called on the game's thread.
  void deviceRemoved(uint32_t which);
  // SDL's id of the card playing now, 0 while there is none (closed, or the stand-in plays).
  uint32_t deviceId() const { return device_; }

  // How often the stand-in tries to get a card back.
  static constexpr int kRetryMs = 1000;

 private:
  static void callback(void* self, uint8_t* stream, int len);
  // Opens the default card, paused; 0 (with SDL's reason) when there is none.
  uint32_t openCard(bool allowRateChange, std::string& reason);
  void standIn();
  void stopStandIn();

  // Held by the game while it changes the mix, and by the stand-in while it mixes.
  std::recursive_mutex mutex_;
  std::condition_variable_any wake_;
  std::thread standIn_;
  bool stopping_ = false;  // under mutex_

  std::atomic<uint32_t> device_{0};
  uint32_t lockedDevice_ = 0;  // the card whose lock the game holds, under mutex_
  int lockDepth_ = 0;
  bool open_ = false;
  int rate_ = 0;
  bool started_ = false;
  std::string driver_;  // the SDL audio driver the card was found with
  // When the card last pulled the mix (steady clock, ns): a server that dies is noticed a while
  // later, and the stand-in's mix runs on from the moment the card stopped pulling.
  std::atomic<int64_t> lastPullNs_{0};
  std::chrono::steady_clock::time_point lostAt_;
  MixCallback mix_;
};

}  // namespace kv
