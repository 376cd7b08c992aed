#pragma once
// The sound output shared by the sound effects and the music: one device, one mixer, and the limiter
// between them that keeps the sum below full scale. The device is opened when the first user needs
// it and closed when the last one lets go. The mixer exists all the time, so users may add and
// change voices while the device is closed; nothing is heard then.
// A sound card that reports itself gone while open stays gone for its users: they are told, and the
// game runs on silently. (The desktop's card does not report a sound server that goes away: it
// stands in for it until the server is back.)
#include <functional>
#include <memory>
#include <vector>

#include "platform/seam/audio_device.h"

namespace kv {

class Mixer;
class OutputLimiter;

class AudioSystem {
 public:
  explicit AudioSystem(AudioDevice& device, int sampleRate = 44100);
  ~AudioSystem();
  AudioSystem(const AudioSystem&) = delete;
  AudioSystem& operator=(const AudioSystem&) = delete;

  // Opens the device for one more user; false when there is no sound card (the game runs silently),
  // or when the card was lost while others still hold it. Once every user let go, it may open again.
  bool acquire();
  void release();
  bool isOpen() const;
  bool lost() const { return lost_; }
  int sampleRate() const { return sampleRate_; }
  // Users that must know when the card is lost (on the game's thread, after it closed); `key` names
  // the registration.
  void addLossListener(const void* key, std::function<void()> listener);
  void removeLossListener(const void* key);
  // Holds the device lock (when the device is open) while the game changes the mixer's voices:
  // auto guard = audio.lock();
  AudioLock lock() { return AudioLock(isOpen() ? &device_ : nullptr); }
  // Around the game's reads of what the mix published (the mixer's isPlaying, atEnd, position):
  // auto look = audio.observe();
  AudioReadGuard observe() { return AudioReadGuard(users_ > 0 && !lost_ ? &device_ : nullptr); }
  AudioDevice& device() { return device_; }
  Mixer& mixer() { return *mixer_; }
  // Change it with the lock held, like the mixer's voices.
  OutputLimiter& limiter() { return *limiter_; }

 private:
  AudioDevice& device_;
  int sampleRate_;
  void deviceLost();

  int users_ = 0;
  bool lost_ = false;
  std::unique_ptr<Mixer> mixer_;
  std::unique_ptr<OutputLimiter> limiter_;
  std::vector<std::pair<const void*, std::function<void()>>> lossListeners_;
};

}  // namespace kv
