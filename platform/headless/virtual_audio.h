#pragma once
// A sound card without sound: it pulls mixed samples exactly as fast as virtual time passes, so
// effects end and the music moves on as they would in real time.
#include <functional>

#include "platform/audio_device.h"

namespace kv {

class VirtualClock;

class VirtualAudio : public AudioDevice {
 public:
  explicit VirtualAudio(VirtualClock& clock);
  bool open(int sampleRate, MixCallback mix) override;
  void close() override;
  bool isOpen() const override { return open_; }
  int sampleRate() const override { return rate_; }
  void lock() override {}
  void unlock() override {}

  // Tests listen to what would have reached the speakers.
  void setTap(std::function<void(const int16_t* samples, int frames)> tap) { tap_ = std::move(tap); }
  void setOpenFails(bool fails) { openFails_ = fails; }
  uint64_t framesMixed() const { return framesMixed_; }

 private:
  void advance(uint64_t ns);

  VirtualClock& clock_;
  MixCallback mix_;
  std::function<void(const int16_t*, int)> tap_;
  bool open_ = false;
  bool openFails_ = false;
  int rate_ = 0;
  uint64_t openedAtNs_ = 0;
  uint64_t framesMixed_ = 0;
};

}  // namespace kv
