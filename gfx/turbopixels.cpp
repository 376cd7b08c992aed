#include "gfx/turbopixels.h"

#include <cstdlib>
#include <string>

#include "gfx/dd_surface.h"
#include "platform/component_errors.h"

namespace kv {

LockState lockState;

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
