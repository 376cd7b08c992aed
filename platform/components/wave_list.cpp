#include "platform/components/wave_list.h"

#include "platform/audio/wave_reader.h"
#include "platform/components/component_errors.h"

namespace kv {

WaveData loadStoredWave(const uint8_t* bytes, size_t size) {
  std::optional<WaveData> wave = readRiffWave(bytes, size);
  if (!wave) throw EWaveError("Wave is invalid");
  return std::move(*wave);
}

TWaveCollection::~TWaveCollection() {
  // Entries that outlive the collection keep no voices of a device they can no longer reach.
  for (TWaveCollectionItem* item : entries()) item->deviceFinalized();
  Clear();
}

TWaveCollectionItem& TWaveCollection::Add() {
  auto* item = new TWaveCollectionItem(*this);
  markOwned(*item);
  return *item;
}

TDXWaveList::~TDXWaveList() {
  SetDXSound(nullptr);
}

void TDXWaveList::SetDXSound(TDXSound* sound) {
  if (sound == items_.dxSound_) return;
  if (items_.dxSound_) {
    items_.dxSound_->UnRegisterNotifyEvent(this);
    deviceNotify(TDXSoundNotifyType::Finalize);
  }
  items_.dxSound_ = sound;
  if (sound) {
    sound->RegisterNotifyEvent(this, [this](TDXSound&, TDXSoundNotifyType type) { deviceNotify(type); });
  }
}

void TDXWaveList::deviceNotify(TDXSoundNotifyType type) {
  const int32_t n = items_.Count();
  switch (type) {
    case TDXSoundNotifyType::Initialize:
      for (int32_t i = 0; i < n; ++i) items_[i].deviceInitialized();
      break;
    case TDXSoundNotifyType::Restore:
      for (int32_t i = 0; i < n; ++i) items_[i].Restore();
      break;
    case TDXSoundNotifyType::Finalize:
      for (int32_t i = 0; i < n; ++i) items_[i].deviceFinalized();
      break;
    case TDXSoundNotifyType::Destroying:
      for (int32_t i = 0; i < n; ++i) items_[i].deviceFinalized();
      items_.dxSound_ = nullptr;
      break;
    case TDXSoundNotifyType::Initializing:
      break;
  }
}

}  // namespace kv
