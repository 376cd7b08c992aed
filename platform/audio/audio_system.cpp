#include "platform/audio/audio_system.h"

#include <algorithm>

#include "platform/audio/mixer.h"
#include "platform/audio/music_stream.h"
#include "platform/audio/output_limiter.h"

namespace kv {

AudioSystem::AudioSystem(AudioDevice& device, int sampleRate)
    : device_(device),
      sampleRate_(sampleRate > 0 ? sampleRate : 44100),
      mixer_(std::make_unique<Mixer>(sampleRate_)),
      limiter_(std::make_unique<OutputLimiter>(sampleRate_)) {
  device_.setLostHandler([this] { deviceLost(); });
}

AudioSystem::~AudioSystem() {
  // The music library must not keep playing through a system that is gone.
  forgetMusicAudioSystem(this);
  device_.setLostHandler(nullptr);
  if (device_.isOpen() && users_ > 0) device_.close();
}

bool AudioSystem::acquire() {
  if (users_ > 0) {
    if (lost_) return false;
    ++users_;
    return true;
  }
  Mixer* mixer = mixer_.get();
  OutputLimiter* limiter = limiter_.get();
  const auto mix = [mixer, limiter](int16_t* out, int frames) {
    int32_t sums[2 * 512];
    while (frames > 0) {
      const int n = std::min(frames, 512);
      mixer->mixUnclipped(sums, n);
      limiter->process(sums, out, n);
      out += 2 * n;
      frames -= n;
    }
  };
  if (!device_.open(sampleRate_, mix)) return false;
  {
    // The card may run at another rate than asked; the voices follow it.
    AudioLock guard(&device_);
    mixer_->setOutputRate(device_.sampleRate());
    limiter_->setSampleRate(device_.sampleRate());
  }
  users_ = 1;
  return true;
}

void AudioSystem::release() {
  if (users_ == 0) return;
  if (--users_ > 0) return;
  if (lost_) {
    lost_ = false;  // the card closed itself when it went; the next user may find a new one
  } else {
    device_.close();
  }
}

bool AudioSystem::isOpen() const {
  return users_ > 0 && !lost_ && device_.isOpen();
}

void AudioSystem::addLossListener(const void* key, std::function<void()> listener) {
  lossListeners_.emplace_back(key, std::move(listener));
}

void AudioSystem::removeLossListener(const void* key) {
  std::erase_if(lossListeners_, [key](const auto& l) { return l.first == key; });
}

void AudioSystem::deviceLost() {
  if (users_ == 0 || lost_) return;
  lost_ = true;
  // A listener may leave (or release the system) while it is told.
  const auto listeners = lossListeners_;
  for (const auto& [key, listener] : listeners) {
    const bool stillThere = std::any_of(lossListeners_.begin(), lossListeners_.end(),
                                        [k = key](const auto& l) { return l.first == k; });
    if (stillThere && listener) listener();
  }
}

}  // namespace kv
