#include "gfx/turbopixels.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/dd_surface.h"
#include "gfx/pixel_spans.h"
#include "platform/components/component_errors.h"

namespace kv {

LockState lockState;

namespace {

// A line that stays in one column (every ground column of every frame) or in one row: clipped once
// and written without a test per pixel. Every pixel of it has the same colour, so the order in which
// they are written does not matter.
void verticalLine(int32_t x, int32_t y1, int32_t y2, uint16_t pixel) {
  const LockState& s = lockState;
  if (x < 0 || x > s.writeMaxX) return;
  const int32_t top = std::max(std::min(y1, y2), 0);
  const int32_t bottom = std::min(std::max(y1, y2), s.writeMaxY);
  uint8_t* p = s.bits + static_cast<intptr_t>(top) * s.pitch + 2 * static_cast<intptr_t>(x);
  for (int32_t y = top; y <= bottom; ++y, p += s.pitch) *reinterpret_cast<uint16_t*>(p) = pixel;
}

void horizontalLine(int32_t x1, int32_t x2, int32_t y, uint16_t pixel) {
  const LockState& s = lockState;
  if (y < 0 || y > s.writeMaxY) return;
  const int32_t left = std::max(std::min(x1, x2), 0);
  const int32_t right = std::min(std::max(x1, x2), s.writeMaxX);
  if (right < left) return;
  auto* row = reinterpret_cast<uint16_t*>(s.bits + static_cast<intptr_t>(y) * s.pitch);
  fillPixels(row + left, static_cast<size_t>(right - left) + 1, pixel);
}

uint16_t packRgb(uint8_t r, uint8_t g, uint8_t b) {
  const int32_t is555 = lockState.Is555;
  return static_cast<uint16_t>(((r >> 3) << (11 - is555)) | ((g >> (2 + is555)) << 5) | (b >> 3));
}

}  // namespace

bool LockSurface(TDirectDrawSurface& surface) {
  if (!surface.Exists()) {
    throw EDirectDrawSurfaceError(formatMessage("%s not made", std::string("IDirectDrawSurface4")));
  }
  LockState& s = lockState;
  // Whatever happens next, nothing may be written through the previous lock's address.
  s.bits = nullptr;
  s.writeMaxX = s.writeMaxY = -1;
  s.surface = &surface;
  s.lockRect = TRect{0, 0, surface.Width(), surface.Height()};
  SurfaceLockDesc desc;
  const bool ok = surface.Lock(desc);
  s.maxX = surface.Width() - 1;
  s.maxY = surface.Height() - 1;
  s.Is555 = desc.greenMask == 0x07E0 ? 0 : 1;
  if (ok) {
    s.bits = desc.bits;
    s.pitch = desc.pitchBytes;
    s.writeMaxX = s.maxX;
    s.writeMaxY = s.maxY;
  }
  return ok;
}

void UnlockSurface() {
  LockState& s = lockState;
  if (s.surface) s.surface->Unlock();
  s.surface = nullptr;
  s.bits = nullptr;
  s.writeMaxX = s.writeMaxY = -1;
}

void forgetLockedSurface(const TDirectDrawSurface& surface) {
  LockState& s = lockState;
  if (s.surface != &surface) return;
  s.surface = nullptr;
  s.bits = nullptr;
  s.writeMaxX = s.writeMaxY = -1;
}

void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t r, uint8_t g, uint8_t b) {
  if (x1 == x2 || y1 == y2) {
    const uint16_t pixel = packRgb(r, g, b);
    if (x1 == x2) {
      verticalLine(x1, y1, y2, pixel);
    } else {
      horizontalLine(x1, x2, y1, pixel);
    }
    return;
  }
  const int32_t dx = std::abs(x2 - x1);
  const int32_t dy = std::abs(y2 - y1);
  int32_t n, d, dLow, dHigh;
  int32_t lowX, lowY;  // what a low step moves
  const int32_t sx = x1 > x2 ? -1 : 1;
  const int32_t sy = y1 > y2 ? -1 : 1;
  if (dy <= dx) {
    n = dx + 1;
    d = 2 * dy - dx;
    dLow = 2 * dy;
    dHigh = 2 * (dy - dx);
    lowX = sx;
    lowY = 0;
  } else {
    n = dy + 1;
    d = 2 * dx - dy;
    dLow = 2 * dx;
    dHigh = 2 * (dx - dy);
    lowX = 0;
    lowY = sy;
  }
  int32_t x = x1, y = y1;
  for (int32_t i = 0; i < n; ++i) {
    PutPixelRGB(x, y, r, g, b);
    if (d < 0) {
      d += dLow;
      x += lowX;
      y += lowY;
    } else {
      d += dHigh;
      x += sx;
      y += sy;
    }
  }
}

void DrawColumnLines(int32_t x, int32_t y, const int32_t* ends, int32_t count, uint8_t r, uint8_t g,
                     uint8_t b) {
  const LockState& s = lockState;
  const int32_t first = std::max(x, 0);
  const auto last =
      static_cast<int32_t>(std::min(static_cast<int64_t>(x) + count - 1, static_cast<int64_t>(s.writeMaxX)));
  if (last < first) return;
  const uint16_t pixel = packRgb(r, g, b);
  if (s.writeMaxY > INT16_MAX) {  // rows beyond 16 bits: one line at a time
    for (int32_t c = first; c <= last; ++c) verticalLine(c, y, ends[c - x], pixel);
    return;
  }
  // Each column keeps the rows verticalLine would write; an empty one gets top 1, bottom 0.
  const int32_t n = last - first + 1;
  thread_local std::vector<int16_t> tops, bottoms;  // kept between frames
  tops.resize(static_cast<size_t>(n));
  bottoms.resize(static_cast<size_t>(n));
  int32_t bandTop = s.writeMaxY + 1, bandBottom = -1;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t end = ends[first - x + k];
    const int32_t top = std::max(std::min(y, end), 0);
    const int32_t bottom = std::min(std::max(y, end), s.writeMaxY);
    const bool empty = top > bottom;
    tops[static_cast<size_t>(k)] = static_cast<int16_t>(empty ? 1 : top);
    bottoms[static_cast<size_t>(k)] = static_cast<int16_t>(empty ? 0 : bottom);
    if (!empty) {
      bandTop = std::min(bandTop, top);
      bandBottom = std::max(bandBottom, bottom);
    }
  }
  const int16_t* t = tops.data();
  const int16_t* u = bottoms.data();
  // Eight columns at a time: a lane is written where its column's line covers the row.
  using Lanes = int16_t __attribute__((vector_size(16)));
  constexpr int32_t kLanes = 8;
  const Lanes colour = Lanes{} + static_cast<int16_t>(pixel);
  for (int32_t row = bandTop; row <= bandBottom; ++row) {
    auto* p = reinterpret_cast<uint16_t*>(s.bits + static_cast<intptr_t>(row) * s.pitch) + first;
    const auto y16 = static_cast<int16_t>(row);
    const Lanes rowLanes = Lanes{} + y16;
    int32_t k = 0;
    for (; k + kLanes <= n; k += kLanes) {
      Lanes top, bottom, old;
      std::memcpy(&top, t + k, sizeof top);
      std::memcpy(&bottom, u + k, sizeof bottom);
      std::memcpy(&old, p + k, sizeof old);
      const Lanes inside = (top <= rowLanes) & (rowLanes <= bottom);  // all ones or 0 per lane
      const Lanes out = (colour & inside) | (old & ~inside);
      std::memcpy(p + k, &out, sizeof out);
    }
    for (; k < n; ++k)
      if (t[k] <= y16 && y16 <= u[k]) p[k] = pixel;
  }
}

}  // namespace kv
