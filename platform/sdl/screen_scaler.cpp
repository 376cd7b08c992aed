#include "platform/sdl/screen_scaler.h"

#include <algorithm>
#include <cstring>

namespace kv {

namespace {

// Rows that changed closer together than this go out as one band: a few unchanged rows cost the
// display less than another request.
constexpr int kBandGap = 8;

// The screen pixel under the centre of window pixel i of a picture `length` pixels long.
int sourceOf(int i, int length, int screenLength) {
  return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * screenLength /
                          (2 * static_cast<int64_t>(length)));
}

// Widens 16-bit pixels to the window's 8-bit channels by bit replication, as the screenshots do.
void widenRow(const uint16_t* src, uint32_t* dst, int n, PixelLayout layout, Rgb32Layout out) {
  if (layout == PixelLayout::Rgb565) {
    for (int x = 0; x < n; ++x) {
      const uint32_t p = src[x];
      const uint32_t r5 = p >> 11, g6 = (p >> 5) & 63, b5 = p & 31;
      dst[x] = out.pack(r5 << 3 | r5 >> 2, g6 << 2 | g6 >> 4, b5 << 3 | b5 >> 2);
    }
  } else {
    for (int x = 0; x < n; ++x) {
      const uint32_t p = src[x];
      const uint32_t r5 = (p >> 10) & 31, g5 = (p >> 5) & 31, b5 = p & 31;
      dst[x] = out.pack(r5 << 3 | r5 >> 2, g5 << 3 | g5 >> 2, b5 << 3 | b5 >> 2);
    }
  }
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
  layout_ = layout;
  picture_ = letterbox(width, height, kScreenWidth, kScreenHeight);
  columnMap_.resize(static_cast<size_t>(picture_.w));
  for (int i = 0; i < picture_.w; ++i) columnMap_[i] = sourceOf(i, picture_.w, kScreenWidth);
  // Both maps only grow, so the first window pixel at or after each screen pixel is found in one walk.
  firstColumn_.assign(kScreenWidth, std::max(picture_.w - 1, 0));
  for (int i = picture_.w - 1; i >= 0; --i) {
    for (int x = columnMap_[i]; x >= 0 && (i == 0 || x > columnMap_[i - 1]); --x) firstColumn_[x] = i;
  }
  firstRow_.assign(kScreenHeight + 1, picture_.h);
  for (int j = picture_.h - 1; j >= 0; --j) {
    const int y = sourceOf(j, picture_.h, kScreenHeight);
    const int above = j == 0 ? -1 : sourceOf(j - 1, picture_.h, kScreenHeight);
    for (int s = y; s > above; --s) firstRow_[s] = j;
  }
  shown_.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
  row_.assign(kScreenWidth, 0);
  whole_ = true;
}

void ScreenScaler::composeRow(int y, const Frame16* frame, const std::vector<ScreenOverlay>& overlays) {
  uint32_t* row = row_.data();
  int n = 0;
  if (frame && frame->pixels && y < frame->height) {
    n = std::min(frame->width, kScreenWidth);
    widenRow(frame->pixels + static_cast<ptrdiff_t>(y) * frame->pitchPixels, row, n, frame->layout, layout_);
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

void ScreenScaler::scaleRow(int y) {
  const int top = firstRow_[y], bottom = firstRow_[y + 1];
  if (top >= bottom) return;  // a window smaller than the screen leaves this row out
  uint32_t* first = windowRow(picture_.y + top) + picture_.x;
  const uint32_t* row = row_.data();
  if (picture_.w == kScreenWidth) {
    std::memcpy(first, row, kScreenWidth * sizeof(uint32_t));
  } else {
    const int* map = columnMap_.data();
    for (int i = 0; i < picture_.w; ++i) first[i] = row[map[i]];
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
  for (int y = 0; y < kScreenHeight; ++y) {
    composeRow(y, frame, overlays);
    uint32_t* shown = shown_.data() + static_cast<ptrdiff_t>(y) * kScreenWidth;
    if (!whole && std::memcmp(shown, row_.data(), kScreenWidth * sizeof(uint32_t)) == 0) continue;
    std::memcpy(shown, row_.data(), kScreenWidth * sizeof(uint32_t));
    scaleRow(y);
  }
  if (whole) bands_.assign(1, PixelRect{0, 0, width_, height_});
  whole_ = false;
  return bands_;
}

}  // namespace kv
