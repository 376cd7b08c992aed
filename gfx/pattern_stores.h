#pragma once
// The keyed copy of a whole pattern, the draw every sprite makes on every frame. The pattern's opaque
// pixels are listed once, as stores relative to its top-left corner: eight neighbours with one read
// and one write of the destination where they lie close together, single pixels elsewhere. One pass
// over those lists replaces a loop per row, whose varying lengths the processor cannot predict.
#include <cstdint>
#include <vector>

#include "gfx/rect.h"

namespace kv {

class PatternStores {
 public:
  // The rectangles drawn whole (inside the picture; others are ignored). They stay until replaced.
  void setPatterns(std::vector<TRect> rects);
  // Lists every pattern's stores from the picture's current pixels and key. Reuses its memory.
  void build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height, uint16_t key);

  // The pattern whose rectangle holds r (the whole pattern, or one cut by the destination's edges),
  // or -1.
  int32_t find(const TRect& r) const;
  // Writes the opaque pixels of pattern index that lie in window (in picture coordinates, inside
  // the pattern) with the window's top-left corner at dst; key pixels leave dst as it was. Rows of
  // dst lie pitchPixels apart; the caller has made sure the window fits.
  void copy(int32_t index, const TRect& window, uint16_t* dst, int32_t pitchPixels) const;

 private:
  using Lane8 = uint16_t __attribute__((vector_size(16)));
  static constexpr int kLanes = 8;
  // Eight columns become one store when at least this many of their pixels show.
  static constexpr int kDenseLanes = 3;

  struct Place {
    uint16_t row, column;  // in the pattern
  };
  // A store of eight: all ones in its mask where the picture shows, the picture's pixels there in
  // its values (0 elsewhere).
  struct Block {
    Lane8 mask, values;
  };
  struct Pattern {
    TRect rect;
    uint32_t firstBlock = 0, endBlock = 0, firstSingle = 0, endSingle = 0;
  };

  void addRow(const uint16_t* row, uint16_t key, const TRect& rect, int32_t y);

  std::vector<Pattern> patterns_;  // sorted by top, then left
  // Each list goes row by row through each pattern; the places run alongside.
  std::vector<Block> blocks_;
  std::vector<Place> blockPlaces_;
  std::vector<uint16_t> singles_;
  std::vector<Place> singlePlaces_;
  std::vector<uint16_t> columns_;  // scratch: one row's opaque columns
};

}  // namespace kv
