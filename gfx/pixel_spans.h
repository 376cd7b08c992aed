#pragma once
// The inner loops of drawing: filling a span of 16-bit pixels and copying the opaque pixels of a
// colour-keyed picture. They work on plain memory and check nothing; callers clip first.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

// Sets count pixels to value: one memset when both bytes of the pixel are equal (0 among them),
// wide stores otherwise.
void fillPixels(uint16_t* dst, size_t count, uint16_t value);

// The opaque pixels of a picture (those that are not its key colour), row by row, each with its
// column and value. Found once for a picture, it lets a keyed copy store exactly the pixels that
// show, one after the other, instead of testing every pixel of the picture against the key: the
// scenery tree, for one, is mostly key with a few thousand pixels of twigs.
class OpaquePixels {
 public:
  // Scans width x height pixels (rows pitchPixels apart). Reuses its memory when built again.
  void build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height, uint16_t key);
  void clear();
  int32_t rows() const { return rows_; }
  size_t count() const { return pixels_.size(); }

  // Writes the opaque pixels of picture row y whose columns lie in left (included) to right
  // (excluded) to dst, where dst[0] stands for column left. Key pixels leave dst as it was.
  void copyRow(int32_t y, int32_t left, int32_t right, uint16_t* dst) const {
    const Pixel* p = pixels_.data() + rowStart_[static_cast<size_t>(y)];
    const Pixel* end = pixels_.data() + rowStart_[static_cast<size_t>(y) + 1];
    if (p == end) return;
    if (left <= p->column && end[-1].column < right) {
      // The whole row of the picture lies inside the window (a sprite not cut by an edge).
      uint16_t* origin = dst - left;
      for (; p != end; ++p) origin[p->column] = p->value;
      return;
    }
    // A narrow window into a wide row (one glyph of the font): start at the window's block.
    p = pixels_.data() + blockFirst_[static_cast<size_t>(y) * static_cast<size_t>(blocksPerRow_) +
                                     static_cast<size_t>(left >> kBlockShift)];
    while (p != end && p->column < left) ++p;
    for (; p != end && p->column < right; ++p) dst[p->column - left] = p->value;
  }

 private:
  struct Pixel {
    uint16_t column;
    uint16_t value;
  };
  static constexpr int kBlockShift = 4;  // the block index counts columns in sixteens

  std::vector<Pixel> pixels_;
  std::vector<uint32_t> rowStart_;    // row y: pixels_[rowStart_[y]] .. pixels_[rowStart_[y + 1] - 1]
  std::vector<uint32_t> blockFirst_;  // row y, block b: the row's first pixel at column >= 16 b
  int32_t blocksPerRow_ = 0;
  int32_t rows_ = 0;
};

}  // namespace kv
