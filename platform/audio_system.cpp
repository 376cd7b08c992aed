#include "platform/audio_system.h"

#include "platform/mixer.h"
#include "platform/music_stream.h"

namespace kv {

AudioSystem::AudioSystem(AudioDevice& device, int sampleRate)
    : device_(device),
      sampleRate_(sampleRate > 0 ? sampleRate : 44100),
      mixer_(std::make_unique<Mixer>(sampleRate_)) {}

AudioSystem::~AudioSystem() {
  // The music library must not keep playing through a system that is gone.
  forgetMusicAudioSystem(this);
  if (device_.isOpen() && users_ > 0) device_.close();
}

bool AudioSystem::acquire() {
  if (users_ > 0) {
    ++users_;
    return true;
  }
  Mixer* mixer = mixer_.get();
  if (!device_.open(sampleRate_, [mixer](int16_t* out, int frames) { mixer->mix(out, frames); }))
    return false;
  {
    // The card may run at another rate than asked; the voices follow it.
    AudioLock guard(&device_);
    mixer_->setOutputRate(device_.sampleRate());
  }
  users_ = 1;
  return true;
}

void AudioSystem::release() {
  if (users_ == 0) return;
  if (--users_ == 0) device_.close();
}

bool AudioSystem::isOpen() const {
  return users_ > 0 && device_.isOpen();
}

}  // namespace kv
