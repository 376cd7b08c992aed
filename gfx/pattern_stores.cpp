#include "gfx/pattern_stores.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace kv {

namespace {
bool before(const TRect& a, const TRect& b) {
  return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
}
}  // namespace

void PatternStores::setPatterns(std::vector<TRect> rects) {
  patterns_.clear();
  blocks_.clear();
  singles_.clear();
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
  singles_.clear();
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
      singles_.push_back({rowInPattern, static_cast<uint16_t>(columns_[i] - rect.Left), row[columns_[i]]});
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
    b.row = rowInPattern;
    b.column = static_cast<uint16_t>(start - rect.Left);
    blocks_.push_back(b);
    i = end;
  }
}

int32_t PatternStores::find(const TRect& r) const {
  const auto it = std::lower_bound(patterns_.begin(), patterns_.end(), r,
                                   [](const Pattern& p, const TRect& x) { return before(p.rect, x); });
  if (it == patterns_.end() || !(it->rect == r)) return -1;
  return static_cast<int32_t>(it - patterns_.begin());
}

}  // namespace kv
