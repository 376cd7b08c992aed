#include "gfx/turbopixels.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "gfx/dd_surface.h"
#include "gfx/pixel_spans.h"
#include "platform/component_errors.h"

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
    const LockState& s = lockState;
    const auto pixel =
        static_cast<uint16_t>(((r >> 3) << (11 - s.Is555)) | ((g >> (2 + s.Is555)) << 5) | (b >> 3));
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

}  // namespace kv
