#pragma once
// The sound card through SDL audio: 16-bit stereo, the callback pulls from the game's mixer.
#include <cstdint>

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
  bool isOpen() const override { return device_ != 0; }
  int sampleRate() const override { return rate_; }
  void lock() override;
  void unlock() override;

  // SDL reported an output device gone (SDL_AUDIODEVICEREMOVED); when it is ours, it closes and the
  // audio system hears of the loss.
  void deviceRemoved(uint32_t which);
  // SDL's id of the open device, 0 when closed.
  uint32_t deviceId() const { return device_; }

 private:
  static void callback(void* self, uint8_t* stream, int len);

  uint32_t device_ = 0;
  int rate_ = 0;
  bool started_ = false;
  MixCallback mix_;
};

}  // namespace kv
