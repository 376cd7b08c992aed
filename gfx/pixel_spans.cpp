#include "gfx/pixel_spans.h"

#include <algorithm>
#include <cstring>

namespace kv {

namespace {

// Sixteen pixels in one value; the compiler stores it with the widest moves the target has.
using PixelBlock = uint16_t __attribute__((vector_size(32)));
constexpr size_t kBlockPixels = sizeof(PixelBlock) / sizeof(uint16_t);

// Short runs (the tips of twigs, the edges of glyphs) are cheaper copied in place than by a call.
inline void copyPixels(uint16_t* dst, const uint16_t* src, int32_t n) {
  if (n <= 4) {
    for (int32_t i = 0; i < n; ++i) dst[i] = src[i];
  } else {
    std::memcpy(dst, src, static_cast<size_t>(n) * sizeof(uint16_t));
  }
}

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

void OpaqueRuns::build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height,
                       uint16_t key) {
  clear();
  rowStart_.reserve(static_cast<size_t>(std::max(height, 0)) + 1);
  for (int32_t y = 0; y < height; ++y) {
    rowStart_.push_back(static_cast<uint32_t>(runs_.size()));
    const uint16_t* row = pixels + static_cast<ptrdiff_t>(y) * pitchPixels;
    int32_t x = 0;
    while (x < width) {
      while (x < width && row[x] == key) ++x;
      const int32_t begin = x;
      while (x < width && row[x] != key) ++x;
      if (x > begin) runs_.push_back({static_cast<uint16_t>(begin), static_cast<uint16_t>(x)});
    }
  }
  rowStart_.push_back(static_cast<uint32_t>(runs_.size()));
}

void OpaqueRuns::clear() {
  rowStart_.clear();
  runs_.clear();
}

void OpaqueRuns::copyRow(const uint16_t* srcRow, int32_t y, int32_t left, int32_t right,
                         uint16_t* dst) const {
  const Run* run = runs_.data() + rowStart_[static_cast<size_t>(y)];
  const Run* last = runs_.data() + rowStart_[static_cast<size_t>(y) + 1];
  // A glyph is a narrow window into a wide row of the font: skip the runs left of it by halving.
  run = std::partition_point(run, last, [left](const Run& r) { return r.end <= left; });
  for (; run != last && run->begin < right; ++run) {
    const int32_t begin = std::max<int32_t>(run->begin, left);
    const int32_t end = std::min<int32_t>(run->end, right);
    copyPixels(dst + (begin - left), srcRow + begin, end - begin);
  }
}

}  // namespace kv
