#pragma once
// A half-open rectangle: Left <= x < Right, Top <= y < Bottom.
#include <cstdint>

namespace kv {

struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t width() const { return Right - Left; }
  int32_t height() const { return Bottom - Top; }
  bool empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TRect&) const = default;
};

// True when the two share at least one pixel; rectangles that only touch at an edge do not.
inline bool OverlapRect(const TRect& a, const TRect& b) {
  return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top;
}

}  // namespace kv
