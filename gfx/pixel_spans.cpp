#include "gfx/pixel_spans.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kv {

namespace {

// Sixteen pixels in one value; the compiler stores it with the widest moves the target has.
using PixelBlock = uint16_t __attribute__((vector_size(32)));
constexpr size_t kBlockPixels = sizeof(PixelBlock) / sizeof(uint16_t);

}  // namespace

void fillPixels(uint16_t* dst, size_t count, uint16_t value) {
  const auto low = static_cast<uint8_t>(value & 0xFF);
  if (low == static_cast<uint8_t>(value >> 8)) {
    std::memset(dst, low, count * sizeof(uint16_t));
    return;
  }
  const PixelBlock block = PixelBlock{} + value;
  size_t i = 0;
  for (; i + kBlockPixels <= count; i += kBlockPixels) std::memcpy(dst + i, &block, sizeof block);
  for (; i < count; ++i) dst[i] = value;
}

void OpaquePixels::build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height,
                         uint16_t key) {
  clear();
  if (width <= 0 || height <= 0) return;
  rows_ = height;
  blocksPerRow_ = ((width - 1) >> kBlockShift) + 1;
  rowStart_.reserve(static_cast<size_t>(height) + 1);
  blockFirst_.reserve(static_cast<size_t>(height) * static_cast<size_t>(blocksPerRow_));
  for (int32_t y = 0; y < height; ++y) {
    const uint16_t* row = pixels + static_cast<ptrdiff_t>(y) * pitchPixels;
    rowStart_.push_back(static_cast<uint32_t>(pixels_.size()));
    for (int32_t x = 0; x < width; ++x) {
      if ((x & ((1 << kBlockShift) - 1)) == 0) blockFirst_.push_back(static_cast<uint32_t>(pixels_.size()));
      if (row[x] != key) pixels_.push_back({static_cast<uint16_t>(x), row[x]});
    }
  }
  rowStart_.push_back(static_cast<uint32_t>(pixels_.size()));
}

void OpaquePixels::clear() {
  pixels_.clear();
  rowStart_.clear();
  blockFirst_.clear();
  blocksPerRow_ = rows_ = 0;
}

}  // namespace kv
