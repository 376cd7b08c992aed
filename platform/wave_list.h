#pragma once
// TDXWaveList: the sound effects as named recordings, addressed by index (or name). This holds the
// recordings and their play settings; playing them belongs to the mixer.
#include <cstdint>
#include <string>

#include "platform/hash_collection.h"
#include "platform/wave_format.h"

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

  // Plays endlessly on one voice.
  bool Looped() const { return looped_; }
  void SetLooped(bool looped) { looped_ = looped; }
  // Limit of copies playing at once, 0 for no limit; never below 0.
  int32_t MaxPlayingCount() const { return maxPlayingCount_; }
  void SetMaxPlayingCount(int32_t count) { maxPlayingCount_ = count < 0 ? 0 : count; }
  // Playback rate in Hz, 0 for the recording's own rate.
  int32_t PlayFrequency() const { return playFrequency_; }
  void SetPlayFrequency(int32_t hz) { playFrequency_ = hz; }
  // Stereo position (0 centre) and attenuation (0 full volume), in the mixer's units.
  int32_t PlayPan() const { return playPan_; }
  void SetPlayPan(int32_t pan) { playPan_ = pan; }
  int32_t PlayVolume() const { return playVolume_; }
  void SetPlayVolume(int32_t volume) { playVolume_ = volume; }

 private:
  friend class HashCollection<TWaveCollectionItem>;

  TWaveCollection* collection_;
  HashCollectionEntry hashEntry_;
  bool looped_ = false;
  int32_t maxPlayingCount_ = 0;
  int32_t playFrequency_ = 0;
  int32_t playPan_ = 0;
  int32_t playVolume_ = 0;
};

// The entries in order (Items, Count, IndexOf, Delete, Clear come from HashCollection).
class TWaveCollection : public HashCollection<TWaveCollectionItem> {
 public:
  TWaveCollection() = default;
  ~TWaveCollection();
  // A new entry at the end, owned by the collection.
  TWaveCollectionItem& Add();
};

class TDXWaveList {
 public:
  TWaveCollection& Items() { return items_; }
  const TWaveCollection& Items() const { return items_; }

 private:
  TWaveCollection items_;
};

}  // namespace kv
