#pragma once
// TDXWaveList: the sound effects as named recordings, addressed by index (or name), played through
// the sound device component. Without an initialised device every call does nothing and no entry plays.
#include <cstddef>
#include <cstdint>

#include "platform/audio/wave_format.h"
#include "platform/components/dx_sound.h"
#include "platform/components/hash_collection.h"
#include "platform/components/wave_collection_item.h"

namespace kv {

// A stored recording as an entry's Wave: the RIFF file read, or EWaveError "Wave is invalid" for
// anything that cannot be read safely.
WaveData loadStoredWave(const uint8_t* bytes, size_t size);

// The entries in order (Items, Count, IndexOf, Delete, Clear come from HashCollection).
class TWaveCollection : public HashCollection<TWaveCollectionItem> {
 public:
  TWaveCollection() = default;
  ~TWaveCollection();
  // A new entry at the end, owned by the collection.
  TWaveCollectionItem& Add();
  // Initialised when the list names a device and that device is initialised.
  bool Initialized() const { return dxSound_ && dxSound_->Initialized(); }
  TDXSound* DXSound() const { return dxSound_; }

 private:
  friend class TDXWaveList;
  TDXSound* dxSound_ = nullptr;
};

class TDXWaveList {
 public:
  TDXWaveList() = default;
  ~TDXWaveList();
  TDXWaveList(const TDXWaveList&) = delete;
  TDXWaveList& operator=(const TDXWaveList&) = delete;

  TWaveCollection& Items() { return items_; }
  const TWaveCollection& Items() const { return items_; }

  // The device the entries play through (may be none). Registering with an initialised device
  // brings the entries up at once; leaving one frees their voices.
  TDXSound* DXSound() const { return items_.dxSound_; }
  void SetDXSound(TDXSound* sound);

 private:
  void deviceNotify(TDXSoundNotifyType type);

  TWaveCollection items_;
};

}  // namespace kv
