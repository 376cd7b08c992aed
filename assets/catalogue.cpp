#include "assets/catalogue.h"

#include <string>

#include "assets/embedded_assets.h"
#include "gfx/dib_reader.h"
#include "gfx/image_list.h"
#include "gfx/pattern_grid.h"
#include "platform/components/component_errors.h"
#include "platform/components/wave_list.h"

namespace kv {

namespace {

// The loaders add the entries in table order, so each entry's index must be its position.
constexpr bool indicesArePositions() {
  for (size_t i = 0; i < kImageCatalogue.size(); ++i)
    if (kImageCatalogue[i].index != static_cast<int32_t>(i)) return false;
  for (size_t i = 0; i < kSoundCatalogue.size(); ++i)
    if (kSoundCatalogue[i].index != static_cast<int32_t>(i)) return false;
  return true;
}
static_assert(indicesArePositions());

const EmbeddedAsset& embedded(const std::string& key) {
  const EmbeddedAsset* asset = findEmbeddedAsset(key);
  if (asset == nullptr) throw EAssetError("asset " + key + " is not embedded");
  return *asset;
}

[[noreturn]] void mismatch(const std::string& key, const std::string& what, long long found,
                           long long wanted) {
  throw EAssetError("asset " + key + ": " + what + " is " + std::to_string(found) + ", the catalogue says " +
                    std::to_string(wanted));
}

void check(const std::string& key, const std::string& what, long long found, long long wanted) {
  if (found != wanted) mismatch(key, what, found, wanted);
}

DibPicture readPicture(const ImageAsset& image) {
  const std::string key = "images/" + std::string(image.name) + ".tdib";
  const EmbeddedAsset& asset = embedded(key);
  DibPicture picture;
  try {
    picture = readTdib(asset.data, asset.size);
  } catch (const EDibError& e) {
    throw EAssetError("asset " + key + ": " + e.what());
  }
  check(key, "the width", picture.width, image.width);
  check(key, "the height", picture.height, image.height);
  check(key, "the bit depth", picture.bitCount, image.bitCount);
  const PatternGrid grid = layoutPatterns(
      picture.width, picture.height, image.patternWidth > 0 ? image.patternWidth : picture.width,
      image.patternHeight > 0 ? image.patternHeight : picture.height, 0, 0, false);
  check(key, "the pattern count", static_cast<long long>(grid.patterns.size()), image.frames);
  return picture;
}

WaveData readRecording(const SoundAsset& sound) {
  const std::string key = "sounds/" + std::string(sound.name) + ".wav";
  const EmbeddedAsset& asset = embedded(key);
  WaveData wave;
  try {
    wave = loadStoredWave(asset.data, asset.size);
  } catch (const EWaveError& e) {
    throw EAssetError("asset " + key + ": " + e.what());
  }
  check(key, "the channel count", wave.format.channels, 1);
  check(key, "the sample rate", wave.format.samplesPerSec, sound.sampleRate);
  check(key, "the sample size", wave.format.bitsPerSample, sound.bitsPerSample);
  check(key, "the data size", static_cast<long long>(wave.data.size()), sound.dataBytes);
  return wave;
}

}  // namespace

const EmbeddedAsset* findEmbeddedAsset(std::string_view key) {
  for (const EmbeddedAsset& asset : embeddedAssets()) {
    if (asset.key == key) return &asset;
  }
  return nullptr;
}

void loadImages(TDXImageList& list) {
  TPictureCollection& items = list.Items();
  items.Clear();
  items.ColorTable.fill(0);
  for (const ImageAsset& image : kImageCatalogue) {
    TPictureCollectionItem& item = items.Add();
    item.SetName(std::string(image.name));
    item.Picture = readPicture(image);
    item.PatternWidth = image.patternWidth;
    item.PatternHeight = image.patternHeight;
    item.SkipWidth = 0;
    item.SkipHeight = 0;
    item.SystemMemory = false;
    item.Transparent = true;
    item.TransparentColor = image.transparentColor;
  }
  items.Restore();
}

void loadSounds(TDXWaveList& list) {
  TWaveCollection& items = list.Items();
  items.Clear();
  for (const SoundAsset& sound : kSoundCatalogue) {
    TWaveCollectionItem& item = items.Add();
    item.SetName(std::string(sound.name));
    item.Wave = readRecording(sound);
    item.SetLooped(sound.looped);
    item.SetMaxPlayingCount(sound.maxPlayingCount);
  }
}

}  // namespace kv
