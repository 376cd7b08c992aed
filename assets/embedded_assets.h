#pragma once
// The asset files compiled into the program (the build generates the data from the files under
// assets/images and assets/sounds).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kv {

struct EmbeddedAsset {
  std::string_view key;  // "images/<name>.tdib" or "sounds/<name>.wav"
  const uint8_t* data;
  size_t size;
};

// Every embedded file, in the order the build listed them.
std::span<const EmbeddedAsset> embeddedAssets();

// The file with this key, or nullptr.
const EmbeddedAsset* findEmbeddedAsset(std::string_view key);

}  // namespace kv
