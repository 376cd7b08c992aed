#pragma once
// The sound output shared by the sound effects and the music: one device, one mixer. The device is
// opened when the first user needs it and closed when the last one lets go. The mixer exists all the
// time, so users may add and change voices while the device is closed; nothing is heard then.
#include <memory>

#include "platform/audio_device.h"

namespace kv {

class Mixer;

class AudioSystem {
 public:
  explicit AudioSystem(AudioDevice& device, int sampleRate = 44100);
  ~AudioSystem();
  AudioSystem(const AudioSystem&) = delete;
  AudioSystem& operator=(const AudioSystem&) = delete;

  // Opens the device for one more user; false when there is no sound card (the game runs silently).
  bool acquire();
  void release();
  bool isOpen() const;
  // Holds the device lock (when the device is open) while the game changes the mixer's voices:
  // auto guard = audio.lock();
  AudioLock lock() { return AudioLock(isOpen() ? &device_ : nullptr); }
  AudioDevice& device() { return device_; }
  Mixer& mixer() { return *mixer_; }

 private:
  AudioDevice& device_;
  int sampleRate_;
  int users_ = 0;
  std::unique_ptr<Mixer> mixer_;
};

}  // namespace kv
