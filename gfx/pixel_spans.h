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

// Where a picture is not its key colour, row by row, as runs of opaque pixels. Found once for a
// picture, it lets a keyed copy move whole runs instead of testing every pixel.
class OpaqueRuns {
 public:
  // Scans width x height pixels (rows pitchPixels apart). Reuses its memory when built again.
  void build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height, uint16_t key);
  void clear();
  int32_t rows() const { return rowStart_.empty() ? 0 : static_cast<int32_t>(rowStart_.size()) - 1; }
  size_t runCount() const { return runs_.size(); }

  // Copies the opaque pixels of picture row y between columns left (included) and right (excluded)
  // from srcRow to dst, where dst[0] stands for column left. Key pixels leave dst as it was.
  void copyRow(const uint16_t* srcRow, int32_t y, int32_t left, int32_t right, uint16_t* dst) const;

 private:
  struct Run {
    uint16_t begin, end;  // columns begin .. end - 1 are opaque
  };
  std::vector<uint32_t> rowStart_;  // runs of row y: rowStart_[y] .. rowStart_[y + 1] - 1
  std::vector<Run> runs_;
};

}  // namespace kv
