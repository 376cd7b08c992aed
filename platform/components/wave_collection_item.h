#pragma once
// One entry of the wave list: a named recording played through the sound device component. It loads
// its recording into a main voice of the shared mixer; a looped entry plays on that voice, a one-shot
// entry on copies of it (one per overlapping play, sharing the recording, each with its own position
// and rate). Without an initialised device every call does nothing and the entry does not play.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/wave_format.h"
#include "platform/components/dx_sound.h"
#include "platform/components/hash_collection.h"

namespace kv {

class TWaveCollection;

class TWaveCollectionItem {
 public:
  // Joins the collection as its last entry; entries made with TWaveCollection::Add belong to it.
  explicit TWaveCollectionItem(TWaveCollection& collection);
  ~TWaveCollectionItem();
  TWaveCollectionItem(const TWaveCollectionItem&) = delete;
  TWaveCollectionItem& operator=(const TWaveCollectionItem&) = delete;

  const std::string& Name() const { return hashEntry_.link.name; }
  void SetName(const std::string& name);
  int32_t Index() const { return hashEntry_.link.index; }

  WaveData Wave;  // format record and samples

  // Plays endlessly on its main voice. Changing it stops the entry first.
  bool Looped() const { return looped_; }
  void SetLooped(bool looped);
  // Limit of copies playing at once, 0 for no limit; never below 0. A change frees the copies.
  int32_t MaxPlayingCount() const { return maxPlayingCount_; }
  void SetMaxPlayingCount(int32_t count);
  // Playback rate in Hz, 0 (or less) for the recording's own rate. It reaches the main voice at
  // once, so a running looped sound changes pitch without restarting; copies take it when they start.
  int32_t PlayFrequency() const { return playFrequency_; }
  void SetPlayFrequency(int32_t hz);
  // Stereo position (0 centre) and attenuation (0 full volume), in the mixer's units. The mixer
  // plays every voice centred at full volume; the values are kept as set.
  int32_t PlayPan() const { return playPan_; }
  void SetPlayPan(int32_t pan) { playPan_ = pan; }
  int32_t PlayVolume() const { return playVolume_; }
  void SetPlayVolume(int32_t volume) { playVolume_ = volume; }

  // Starts the entry: a looped one from the top of its main voice, a one-shot on a free copy (a new
  // one, or with MaxPlayingCount reached the oldest, restarted). wait: return when it has ended.
  void PlayWave(bool wait);
  // Stops the main voice and every copy; all stay allocated.
  void StopWave();
  bool IsWavePlaying() const;
  // Loads the recording into the main voice (making it when missing) and applies the play settings.
  // Raises EDirectSoundBufferError "Sound Buffer cannot be made" for a recording the mixer cannot play.
  void Restore();

  bool Initialized() const { return device_ != nullptr; }
  // The device told the entry it is up (the entry drops any voices it had) or going down.
  void deviceInitialized();
  void deviceFinalized();

  // Every PlayWave call since the entry was made, also those that could not sound.
  uint64_t playWaveCalls() const { return playWaveCalls_; }
  VoiceId mainVoice() const { return main_; }
  const std::vector<VoiceId>& copies() const { return copies_; }

 private:
  friend class HashCollection<TWaveCollectionItem>;

  Mixer& mixer() const;
  void freeCopies();

  TWaveCollection* collection_;
  HashCollectionEntry hashEntry_;
  bool looped_ = false;
  int32_t maxPlayingCount_ = 0;
  int32_t playFrequency_ = 0;
  int32_t playPan_ = 0;
  int32_t playVolume_ = 0;

  TDXSound* device_ = nullptr;  // set while initialised
  std::shared_ptr<const PcmSample> sample_;
  VoiceId main_ = 0;
  std::vector<VoiceId> copies_;  // oldest first
  uint64_t playWaveCalls_ = 0;
};

}  // namespace kv
