#pragma once
// The keyed copy of a whole pattern, the draw every sprite makes on every frame. The pattern's opaque
// pixels are listed once, as stores relative to its top-left corner: eight neighbours with one read
// and one write of the destination where they lie close together, single pixels elsewhere. One pass
// over those lists replaces a loop per row, whose varying lengths the processor cannot predict.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx/rect.h"

namespace kv {

class PatternStores {
 public:
  // The rectangles drawn whole (inside the picture; others are ignored). They stay until replaced.
  void setPatterns(std::vector<TRect> rects);
  // Lists every pattern's stores from the picture's current pixels and key. Reuses its memory.
  void build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height, uint16_t key);

  // The pattern whose rectangle is exactly r, or -1.
  int32_t find(const TRect& r) const;
  // Writes pattern index's opaque pixels with its top-left corner at dst; key pixels leave dst as
  // it was. Rows of dst lie pitchPixels apart; the caller has made sure the pattern fits.
  void copy(int32_t index, uint16_t* dst, int32_t pitchPixels) const {
    const Pattern& p = patterns_[static_cast<size_t>(index)];
    for (uint32_t b = p.firstBlock; b != p.endBlock; ++b) {
      const Block& block = blocks_[b];
      uint16_t* at = dst + static_cast<ptrdiff_t>(block.row) * pitchPixels + block.column;
      Lane8 d;
      std::memcpy(&d, at, sizeof d);
      d = (d & ~block.mask) | block.values;
      std::memcpy(at, &d, sizeof d);
    }
    for (uint32_t i = p.firstSingle; i != p.endSingle; ++i) {
      const Single& s = singles_[i];
      dst[static_cast<ptrdiff_t>(s.row) * pitchPixels + s.column] = s.value;
    }
  }

  size_t blockCount() const { return blocks_.size(); }
  size_t singleCount() const { return singles_.size(); }

 private:
  using Lane8 = uint16_t __attribute__((vector_size(16)));
  static constexpr int kLanes = 8;
  // Eight columns become one store when at least this many of their pixels show.
  static constexpr int kDenseLanes = 3;

  struct Block {
    Lane8 mask;    // all ones where the picture shows
    Lane8 values;  // the picture's pixels there, 0 elsewhere
    uint16_t row, column;
  };
  struct Single {
    uint16_t row, column, value;
  };
  struct Pattern {
    TRect rect;
    uint32_t firstBlock = 0, endBlock = 0, firstSingle = 0, endSingle = 0;
  };

  void addRow(const uint16_t* row, uint16_t key, const TRect& rect, int32_t y);

  std::vector<Pattern> patterns_;  // sorted by top, then left
  std::vector<Block> blocks_;
  std::vector<Single> singles_;
  std::vector<uint16_t> columns_;  // scratch: one row's opaque columns
};

}  // namespace kv
