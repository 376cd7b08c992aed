#include "platform/sdl/screen_scaler.h"

#include <algorithm>
#include <cstring>

#include "platform/support/screen_composer.h"

namespace kv {

namespace {

// Rows that changed closer together than this go out as one band: a few unchanged rows cost the
// display less than another request.
constexpr int kBandGap = 8;

// Writes each screen pixel K times and steps on by as many window pixels as show it, so that the
// next pixel overwrites the copies that were one too many: no map to read, no branch. Stops where K
// more pixels would not fit in the picture; returns the window columns done.
template <int K>
int repeatRow(const uint32_t* row, const uint8_t* repeats, uint32_t* out, int width) {
  uint32_t* d = out;
  uint32_t* const last = out + width - K;
  for (int x = 0; x < ScreenScaler::kScreenWidth && d <= last; ++x) {
    const uint32_t v = row[x];
    for (int k = 0; k < K; ++k) d[k] = v;
    d += repeats[x];
  }
  return static_cast<int>(d - out);
}

// The screen pixel under the centre of window pixel i of a picture `length` pixels long.
int sourceOf(int i, int length, int screenLength) {
  return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * screenLength /
                          (2 * static_cast<int64_t>(length)));
}

}  // namespace

PixelRect letterbox(int windowWidth, int windowHeight, int screenWidth, int screenHeight) {
  if (windowWidth <= 0 || windowHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return {};
  const int64_t w = windowWidth, h = windowHeight;
  if (w * screenHeight > h * screenWidth) {  // a wider window: bars left and right
    const int pw = static_cast<int>(h * screenWidth / screenHeight);
    return {(windowWidth - pw) / 2, 0, pw, windowHeight};
  }
  const int ph = static_cast<int>(w * screenHeight / screenWidth);
  return {0, (windowHeight - ph) / 2, windowWidth, ph};
}

int screenCoordinate(int windowPos, int start, int length, int screenLength) {
  const int i = windowPos - start;
  if (i < 0 || length <= 0) return -1;
  if (i >= length) return screenLength;
  return sourceOf(i, length, screenLength);
}

void ScreenScaler::setTarget(uint32_t* pixels, int pitchBytes, int width, int height, Rgb32Layout layout) {
  pixels_ = pixels;
  pitchBytes_ = pitchBytes;
  width_ = width;
  height_ = height;
  picture_ = letterbox(width, height, kScreenWidth, kScreenHeight);
  columnMap_.resize(static_cast<size_t>(picture_.w));
  for (int i = 0; i < picture_.w; ++i) columnMap_[i] = sourceOf(i, picture_.w, kScreenWidth);
  // Both maps only grow, so the first window pixel at or after each screen pixel is found in one walk.
  firstColumn_.assign(kScreenWidth, std::max(picture_.w - 1, 0));
  for (int i = picture_.w - 1; i >= 0; --i) {
    for (int x = columnMap_[i]; x >= 0 && (i == 0 || x > columnMap_[i - 1]); --x) firstColumn_[x] = i;
  }
  repeats_.assign(kScreenWidth, 0);
  for (int i = 0; i < picture_.w; ++i) ++repeats_[columnMap_[i]];
  mostRepeats_ = picture_.w > 0 ? *std::max_element(repeats_.begin(), repeats_.end()) : 0;
  firstRow_.assign(kScreenHeight + 1, picture_.h);
  for (int j = picture_.h - 1; j >= 0; --j) {
    const int y = sourceOf(j, picture_.h, kScreenHeight);
    const int above = j == 0 ? -1 : sourceOf(j - 1, picture_.h, kScreenHeight);
    for (int s = y; s > above; --s) firstRow_[s] = j;
  }
  if (layout.redShift != layout_.redShift || layout.greenShift != layout_.greenShift ||
      layout.blueShift != layout_.blueShift) {
    widen_.clear();
  }
  layout_ = layout;
  shownFrame_.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
  row_.assign(kScreenWidth, 0);
  whole_ = true;
}

void ScreenScaler::findChangedRows(const Frame16* frame, const std::vector<ScreenOverlay>& overlays) {
  const bool haveFrame = frame && frame->pixels;
  const int fw = haveFrame ? std::min(frame->width, kScreenWidth) : 0;
  const int fh = haveFrame ? std::min(frame->height, kScreenHeight) : 0;
  const PixelLayout layout = haveFrame ? frame->layout : PixelLayout::Rgb565;
  const bool all = whole_ || fw != shownWidth_ || fh != shownHeight_ || layout != shownLayout_;
  changed_.assign(kScreenHeight, all ? 1 : 0);
  for (int y = 0; y < fh; ++y) {
    const uint16_t* src = frame->pixels + static_cast<ptrdiff_t>(y) * frame->pitchPixels;
    uint16_t* shown = shownFrame_.data() + static_cast<ptrdiff_t>(y) * kScreenWidth;
    if (!all && std::memcmp(src, shown, static_cast<size_t>(fw) * sizeof(uint16_t)) == 0) continue;
    std::memcpy(shown, src, static_cast<size_t>(fw) * sizeof(uint16_t));
    changed_[y] = 1;
  }
  // A button that came, went or changed its look: its rows, old and new (buttons do not overlap).
  if (overlays != shownOverlays_) {
    auto markNew = [this](const std::vector<ScreenOverlay>& list, const std::vector<ScreenOverlay>& other) {
      for (const ScreenOverlay& o : list) {
        if (std::find(other.begin(), other.end(), o) != other.end()) continue;
        for (int y = std::max(o.top, 0); y < std::min(o.top + o.height, kScreenHeight); ++y) changed_[y] = 1;
      }
    };
    markNew(overlays, shownOverlays_);
    markNew(shownOverlays_, overlays);
    shownOverlays_ = overlays;
  }
  shownWidth_ = fw;
  shownHeight_ = fh;
  shownLayout_ = layout;
}

void ScreenScaler::composeRow(int y, const Frame16* frame, const std::vector<ScreenOverlay>& overlays,
                              uint32_t* row) {
  int n = 0;
  if (y < shownHeight_) {
    n = shownWidth_;
    const uint16_t* src = frame->pixels + static_cast<ptrdiff_t>(y) * frame->pitchPixels;
    const uint32_t* widen = widen_.data();
    for (int x = 0; x < n; ++x) row[x] = widen[src[x]];
  }
  std::fill(row + n, row + kScreenWidth, 0u);
  for (const ScreenOverlay& o : overlays) {
    if (y < o.top || y >= o.top + o.height || !o.pixels) continue;
    const int x0 = std::max(o.left, 0), x1 = std::min(o.left + o.width, kScreenWidth);
    if (x0 >= x1) continue;
    std::memcpy(row + x0, o.pixels + static_cast<ptrdiff_t>(y - o.top) * o.width + (x0 - o.left),
                static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
  }
}

void ScreenScaler::scaleRow(int y, const uint32_t* row) {
  const int top = firstRow_[y], bottom = firstRow_[y + 1];
  if (top >= bottom) return;  // a window smaller than the screen leaves this row out
  uint32_t* first = windowRow(picture_.y + top) + picture_.x;
  if (picture_.w == kScreenWidth) {
    if (first != row) std::memcpy(first, row, kScreenWidth * sizeof(uint32_t));
  } else {
    int done = 0;
    switch (mostRepeats_) {
      case 2:
        done = repeatRow<2>(row, repeats_.data(), first, picture_.w);
        break;
      case 3:
        done = repeatRow<3>(row, repeats_.data(), first, picture_.w);
        break;
      case 4:
        done = repeatRow<4>(row, repeats_.data(), first, picture_.w);
        break;
      default:
        break;
    }
    const int* map = columnMap_.data();
    for (int i = done; i < picture_.w; ++i) first[i] = row[map[i]];  // the rest through the map
  }
  for (int j = top + 1; j < bottom; ++j) {
    std::memcpy(windowRow(picture_.y + j) + picture_.x, first,
                static_cast<size_t>(picture_.w) * sizeof(uint32_t));
  }
  addBand(picture_.y + top, picture_.y + bottom);
}

void ScreenScaler::addBand(int top, int bottom) {
  if (!bands_.empty() && top <= bands_.back().y + bands_.back().h + kBandGap) {
    bands_.back().h = bottom - bands_.back().y;
    return;
  }
  bands_.push_back({picture_.x, top, picture_.w, bottom - top});
}

const std::vector<PixelRect>& ScreenScaler::draw(const Frame16* frame,
                                                 const std::vector<ScreenOverlay>& overlays) {
  bands_.clear();
  if (!pixels_ || picture_.w <= 0 || picture_.h <= 0) return bands_;
  const bool whole = whole_;
  if (whole) {
    for (int j = 0; j < height_; ++j) std::fill_n(windowRow(j), width_, 0u);  // the bars too
  }
  findChangedRows(frame, overlays);
  if (shownHeight_ > 0 && (widen_.empty() || widenFor_ != shownLayout_)) {
    // Every 16-bit pixel widened once, by bit replication as the screenshots do.
    widen_.resize(65536);
    for (uint32_t p = 0; p < 65536; ++p) {
      uint8_t r, g, b;
      widenPixel(static_cast<uint16_t>(p), shownLayout_, r, g, b);
      widen_[p] = layout_.pack(r, g, b);
    }
    widenFor_ = shownLayout_;
  }
  for (int y = 0; y < kScreenHeight; ++y) {
    if (!changed_[y]) continue;
    // At the screen's own width the row is composed in its first window row straight away.
    const bool direct = picture_.w == kScreenWidth && firstRow_[y] < firstRow_[y + 1];
    uint32_t* row = direct ? windowRow(picture_.y + firstRow_[y]) + picture_.x : row_.data();
    composeRow(y, frame, overlays, row);
    scaleRow(y, row);
  }
  if (whole) bands_.assign(1, PixelRect{0, 0, width_, height_});
  whole_ = false;
  return bands_;
}

}  // namespace kv
