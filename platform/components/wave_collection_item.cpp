// A wave list entry: its place in the list, and how it plays (the main voice, the copies and their
// order, the settings).
#include "platform/components/wave_collection_item.h"

#include <algorithm>

#include "platform/audio/audio_system.h"
#include "platform/components/component_errors.h"
#include "platform/components/wave_list.h"
#include "platform/seam/clock.h"

namespace kv {

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection) : collection_(&collection) {
  collection.attach(*this);
}

TWaveCollectionItem::~TWaveCollectionItem() {
  deviceFinalized();
  // An entry that outlived its collection was detached when the collection went.
  if (hashEntry_.attached) collection_->detach(*this);
}

void TWaveCollectionItem::SetName(const std::string& name) {
  if (hashEntry_.attached) {
    collection_->rename(*this, name);
  } else {
    hashEntry_.link.name = name;
  }
}

namespace {

// The recording as the mixer holds it: mono PCM, unsigned 8-bit or signed 16-bit.
std::shared_ptr<const PcmSample> mixerSample(const WaveData& wave) {
  const WaveFormat& f = wave.format;
  const bool playable = f.formatTag == 1 && f.channels == 1 && f.samplesPerSec > 0 &&
                        f.samplesPerSec <= 1'000'000 && (f.bitsPerSample == 8 || f.bitsPerSample == 16);
  if (!playable) throw EDirectSoundBufferError(formatMessage("%s cannot be made", "Sound Buffer"));
  auto s = std::make_shared<PcmSample>();
  s->format = f.bitsPerSample == 8 ? PcmSample::Format::Unsigned8 : PcmSample::Format::Signed16;
  s->sampleRate = static_cast<int>(f.samplesPerSec);
  s->bytes = wave.data;
  if (f.bitsPerSample == 16 && (s->bytes.size() & 1)) s->bytes.pop_back();  // half a sample is no sample
  return s;
}

}  // namespace

Mixer& TWaveCollectionItem::mixer() const {
  return device_->audio().mixer();
}

void TWaveCollectionItem::deviceInitialized() {
  deviceFinalized();
  if (collection_ && hashEntry_.attached && collection_->Initialized()) device_ = collection_->DXSound();
}

void TWaveCollectionItem::deviceFinalized() {
  if (!device_) return;
  {
    auto guard = device_->audio().lock();
    for (VoiceId copy : copies_) mixer().removeVoice(copy);
    mixer().removeVoice(main_);
  }
  copies_.clear();
  main_ = 0;
  sample_.reset();
  device_ = nullptr;
}

void TWaveCollectionItem::Restore() {
  if (Wave.data.empty()) return;
  if (!device_) deviceInitialized();
  if (!device_) return;
  auto sample = mixerSample(Wave);
  auto guard = device_->audio().lock();
  // A main voice that exists already is made again from the recording as it is now.
  mixer().removeVoice(main_);
  sample_ = std::move(sample);
  main_ = mixer().addSample(sample_);
  mixer().setRate(main_, playFrequency_);
}

void TWaveCollectionItem::SetLooped(bool looped) {
  StopWave();
  looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int32_t count) {
  count = std::max(count, 0);
  if (count == maxPlayingCount_) return;
  maxPlayingCount_ = count;
  if (device_) freeCopies();
}

void TWaveCollectionItem::freeCopies() {
  {
    auto guard = device_->audio().lock();
    for (VoiceId copy : copies_) mixer().removeVoice(copy);
  }
  copies_.clear();
}

void TWaveCollectionItem::SetPlayFrequency(int32_t hz) {
  playFrequency_ = hz;
  if (!device_) return;
  if (main_ == 0) {
    Restore();  // applies the rate as it makes the voice
    return;
  }
  // Set on every game tick, mostly to the rate it has already: only a real change takes the lock.
  const int effective = hz > 0 ? hz : sample_->sampleRate;
  if (mixer().rate(main_) == effective) return;
  auto guard = device_->audio().lock();
  mixer().setRate(main_, hz);
}

void TWaveCollectionItem::PlayWave(bool wait) {
  ++playWaveCalls_;
  if (!device_) return;
  if (main_ == 0) Restore();
  if (main_ == 0) return;  // no recording to play
  Mixer& m = mixer();
  AudioSystem& audio = device_->audio();

  if (looped_) {
    // The rate stays what was last applied to the main voice.
    auto guard = audio.lock();
    m.stop(main_);
    m.setPosition(main_, 0);
    m.setLooped(main_, true);
    m.play(main_, false);
    return;
  }

  auto freeCopy = copies_.end();
  {
    auto look = audio.observe();
    freeCopy = std::find_if(copies_.begin(), copies_.end(), [&m](VoiceId c) { return !m.isPlaying(c); });
  }
  VoiceId copy = 0;
  if (freeCopy != copies_.end()) {
    copy = *freeCopy;
  } else if (maxPlayingCount_ == 0 || static_cast<int32_t>(copies_.size()) < maxPlayingCount_) {
    {
      auto guard = audio.lock();
      copy = m.copyVoice(main_);
    }
    if (copy == 0) return;
    copies_.push_back(copy);
  } else {
    // Every allowed copy plays: the oldest starts over and becomes the newest.
    std::rotate(copies_.begin(), copies_.begin() + 1, copies_.end());
    copy = copies_.back();
  }
  {
    auto guard = audio.lock();
    m.stop(copy);
    m.setPosition(copy, 0);
    m.setRate(copy, playFrequency_);
    m.setLooped(copy, false);
    m.play(copy, false);
  }
  if (!wait) return;
  // A card that goes away meanwhile would never finish the copy, and it may be gone before the game
  // hears of it: the wait also ends a second after the copy should have ended.
  Clock& clock = device_->clock();
  const int64_t limitMs = sample_->frames() * 1000 / std::max(m.rate(copy), 1) + 1000;
  auto stillPlaying = [&] {
    auto look = audio.observe();
    return m.isPlaying(copy);
  };
  for (int64_t waited = 0; waited < limitMs && audio.isOpen() && stillPlaying(); waited += 10) {
    clock.sleepMs(10);
  }
}

void TWaveCollectionItem::StopWave() {
  if (!device_) return;
  auto guard = device_->audio().lock();
  mixer().stop(main_);
  for (VoiceId copy : copies_) mixer().stop(copy);
}

bool TWaveCollectionItem::IsWavePlaying() const {
  if (!device_) return false;
  const Mixer& m = mixer();
  auto look = device_->audio().observe();
  if (looped_) return m.isPlaying(main_);
  return std::any_of(copies_.begin(), copies_.end(), [&m](VoiceId c) { return m.isPlaying(c); });
}

}  // namespace kv
