#include "gfx/pattern_grid.h"

#include <algorithm>

namespace kv {

namespace {
TRect rectOf(int64_t left, int64_t top, int64_t width, int64_t height) {
  return TRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + width),
               static_cast<int32_t>(top + height)};
}
}  // namespace

PatternGrid layoutPatterns(int32_t pictureWidth, int32_t pictureHeight, int32_t patternWidth,
                           int32_t patternHeight, int32_t skipWidth, int32_t skipHeight, bool systemMemory) {
  PatternGrid grid;
  const int64_t w = pictureWidth, h = pictureHeight, pw = patternWidth, ph = patternHeight;
  if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0) return grid;

  if (pw == w && ph == h) {
    grid.tiles.push_back(rectOf(0, 0, w, h));
    grid.patterns.push_back({0, rectOf(0, 0, w, h)});
    return grid;
  }

  // Cells: a pattern and the gap after it.
  const int64_t a = pw + skipWidth, c = ph + skipHeight;
  if (a <= 0 || c <= 0) return grid;
  const int64_t columns = std::max<int64_t>(0, (w + skipWidth) / a);
  const int64_t rows = std::max<int64_t>(0, (h + skipHeight) / c);

  if (systemMemory) {
    grid.tiles.push_back(rectOf(0, 0, w, h));
    for (int64_t row = 0; row < rows; ++row)
      for (int64_t col = 0; col < columns; ++col)
        grid.patterns.push_back({0, rectOf(a * col, c * row, pw, ph)});
    return grid;
  }

  const int64_t tw = std::min(a * ((a + 2047) / a), a * columns);
  const int64_t th = std::min(c * ((c + 2047) / c), c * rows);
  if (tw <= 0 || th <= 0) return grid;
  const int64_t tilesPerRow = (w + tw - 1) / tw;
  const int64_t tileRows = (h + th - 1) / th;
  for (int64_t l = 0; l < tileRows; ++l) {
    for (int64_t m = 0; m < tilesPerRow; ++m) {
      int64_t tileW = std::min(tw, w - tw * m), tileH = std::min(th, h - th * l);
      if (tileW <= 0) tileW = tw;
      if (tileH <= 0) tileH = th;
      grid.tiles.push_back(rectOf(tw * m, th * l, tileW, tileH));
    }
  }
  for (int64_t row = 0; row < rows; ++row) {
    for (int64_t col = 0; col < columns; ++col) {
      const int64_t tile = (a * col) / tw + tilesPerRow * ((c * row) / th);
      grid.patterns.push_back({static_cast<int32_t>(tile), rectOf((a * col) % tw, (c * row) % th, pw, ph)});
    }
  }
  return grid;
}

}  // namespace kv
