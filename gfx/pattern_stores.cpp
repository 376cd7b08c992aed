#include "gfx/pattern_stores.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <limits>

namespace kv {

namespace {
bool before(const TRect& a, const TRect& b) {
  return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
}
}  // namespace

void PatternStores::setPatterns(std::vector<TRect> rects) {
  patterns_.clear();
  std::sort(rects.begin(), rects.end(), before);
  rects.erase(std::unique(rects.begin(), rects.end()), rects.end());
  for (const TRect& r : rects) {
    constexpr int32_t kMax = std::numeric_limits<uint16_t>::max();
    if (r.empty() || r.Left < 0 || r.Top < 0 || r.width() > kMax || r.height() > kMax) continue;
    // Two rectangles with the same corner: the first one found keeps it.
    if (!patterns_.empty() && patterns_.back().rect.Top == r.Top && patterns_.back().rect.Left == r.Left)
      continue;
    patterns_.push_back({r});
  }
}

void PatternStores::build(const uint16_t* pixels, int32_t pitchPixels, int32_t width, int32_t height,
                          uint16_t key) {
  blocks_.clear();
  blockPlaces_.clear();
  singles_.clear();
  singlePlaces_.clear();
  for (Pattern& p : patterns_) {
    p.firstBlock = p.endBlock = static_cast<uint32_t>(blocks_.size());
    p.firstSingle = p.endSingle = static_cast<uint32_t>(singles_.size());
    // A pattern that does not fit the picture (it has shrunk since) draws nothing here; the copy
    // refuses such a rectangle before it gets this far.
    if (p.rect.Right > width || p.rect.Bottom > height) continue;
    for (int32_t y = p.rect.Top; y < p.rect.Bottom; ++y)
      addRow(pixels + static_cast<ptrdiff_t>(y) * pitchPixels, key, p.rect, y);
    p.endBlock = static_cast<uint32_t>(blocks_.size());
    p.endSingle = static_cast<uint32_t>(singles_.size());
  }
}

// One row of a pattern: a store of eight starts at the first opaque pixel not yet written, moved
// left near the row's end so that it still ends on the last one; it never reaches outside the row's
// first and last opaque pixel, so it never touches a pixel of the destination outside the pattern.
void PatternStores::addRow(const uint16_t* row, uint16_t key, const TRect& rect, int32_t y) {
  columns_.clear();
  for (int32_t x = rect.Left; x < rect.Right; ++x)
    if (row[x] != key) columns_.push_back(static_cast<uint16_t>(x));
  if (columns_.empty()) return;
  const auto rowInPattern = static_cast<uint16_t>(y - rect.Top);
  const int32_t first = columns_.front(), last = columns_.back();
  size_t i = 0;
  while (i < columns_.size()) {
    const int32_t start = std::min<int32_t>(columns_[i], last + 1 - kLanes);
    size_t end = i;
    while (end < columns_.size() && columns_[end] < start + kLanes) ++end;
    if (start < first || end - i < static_cast<size_t>(kDenseLanes)) {
      singles_.push_back(row[columns_[i]]);
      singlePlaces_.push_back({rowInPattern, static_cast<uint16_t>(columns_[i] - rect.Left)});
      ++i;
      continue;
    }
    Block b{};
    for (int lane = 0; lane < kLanes; ++lane) {
      const uint16_t pixel = row[start + lane];
      // Pixels an earlier store has written already are written again with the same value.
      b.mask[lane] = pixel != key ? 0xFFFF : 0;
      b.values[lane] = pixel != key ? pixel : 0;
    }
    blocks_.push_back(b);
    blockPlaces_.push_back({rowInPattern, static_cast<uint16_t>(start - rect.Left)});
    i = end;
  }
}

int32_t PatternStores::find(const TRect& r) const {
  // Patterns lie in bands of equal tops: the last band starting at or above r, then the last
  // pattern of that band starting at or left of r.
  const auto bandEnd = std::upper_bound(patterns_.begin(), patterns_.end(), r.Top,
                                        [](int32_t top, const Pattern& p) { return top < p.rect.Top; });
  if (bandEnd == patterns_.begin()) return -1;
  const int32_t bandTop = std::prev(bandEnd)->rect.Top;
  const auto band = std::lower_bound(patterns_.begin(), bandEnd, bandTop,
                                     [](const Pattern& p, int32_t top) { return p.rect.Top < top; });
  const auto after = std::upper_bound(band, bandEnd, r.Left,
                                      [](int32_t left, const Pattern& p) { return left < p.rect.Left; });
  if (after == band) return -1;
  const TRect& p = std::prev(after)->rect;
  if (r.Left < p.Left || r.Top < p.Top || r.Right > p.Right || r.Bottom > p.Bottom) return -1;
  return static_cast<int32_t>(std::prev(after) - patterns_.begin());
}

void PatternStores::copy(int32_t index, const TRect& window, uint16_t* dst, int32_t pitchPixels) const {
  const Pattern& p = patterns_[static_cast<size_t>(index)];
  auto store = [](uint16_t* to, const Block& b) {
    Lane8 d;
    std::memcpy(&d, to, sizeof d);
    d = (d & ~b.mask) | b.values;
    std::memcpy(to, &d, sizeof d);
  };
  // The window in the pattern's own coordinates.
  const int32_t left = window.Left - p.rect.Left, right = window.Right - p.rect.Left;
  const int32_t top = window.Top - p.rect.Top, bottom = window.Bottom - p.rect.Top;
  const bool wholeRows = left == 0 && right == p.rect.width();
  auto at = [&](const Place& place, int32_t column) {
    return dst + static_cast<ptrdiff_t>(place.row - top) * pitchPixels + (column - left);
  };
  auto byRow = [](const Place& place, int32_t row) { return place.row < row; };
  // Both lists go row by row: skip to the window's first row, stop after its last.
  const auto* places = blockPlaces_.data();
  uint32_t b = p.firstBlock;
  if (top > 0)
    b = static_cast<uint32_t>(std::lower_bound(places + b, places + p.endBlock, top, byRow) - places);
  for (; b != p.endBlock && places[b].row < bottom; ++b) {
    const int32_t column = places[b].column;
    if (wholeRows || (column >= left && column + kLanes <= right)) {
      store(at(places[b], column), blocks_[b]);
    } else if (column + kLanes > left && column < right) {
      // Cut by the window's left or right edge: lane by lane.
      for (int32_t lane = std::max(0, left - column); lane < kLanes && column + lane < right; ++lane)
        if (blocks_[b].mask[lane]) *at(places[b], column + lane) = blocks_[b].values[lane];
    }
  }
  places = singlePlaces_.data();
  uint32_t i = p.firstSingle;
  if (top > 0)
    i = static_cast<uint32_t>(std::lower_bound(places + i, places + p.endSingle, top, byRow) - places);
  for (; i != p.endSingle && places[i].row < bottom; ++i) {
    const int32_t column = places[i].column;
    if (wholeRows || (column >= left && column < right)) *at(places[i], column) = singles_[i];
  }
}

}  // namespace kv
