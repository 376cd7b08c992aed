#pragma once
// Direct pixel access to one locked 16-bit surface at a time: lock once, write pixels and lines
// straight into its memory, unlock. The lock state is module-wide, as only one surface is ever
// locked. Every write is bounds-checked; while no lock is held the writable area is empty, so a
// refused lock can never lead to a write through a stale address.
#include <cstdint>

#include "gfx/rect.h"

namespace kv {

class TDirectDrawSurface;

struct LockState {
  TDirectDrawSurface* surface = nullptr;  // held from LockSurface to UnlockSurface
  uint8_t* bits = nullptr;
  int32_t pitch = 0;  // bytes per row
  TRect lockRect;
  int32_t maxX = -1;  // surface Width - 1, from the last lock attempt
  int32_t maxY = -1;
  int32_t Is555 = 0;
  // The area writes may touch: the surface while it is locked, nothing otherwise.
  int32_t writeMaxX = -1;
  int32_t writeMaxY = -1;
};

extern LockState lockState;

// Locks the whole surface; true when the device accepted. Raises EDirectDrawSurfaceError when the
// surface does not exist at all.
bool LockSurface(TDirectDrawSurface& surface);
void UnlockSurface();
// The surface's memory is going away (released, remade or destroyed): a lock taken on it ends
// here, so later pixel writes do nothing and UnlockSurface does not touch it.
void forgetLockedSurface(const TDirectDrawSurface& surface);

inline void PutPixelRGB(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
  const LockState& s = lockState;
  if (x < 0 || x > s.writeMaxX || y < 0 || y > s.writeMaxY) return;
  const uint16_t v =
      static_cast<uint16_t>(((r >> 3) << (11 - s.Is555)) | ((g >> (2 + s.Is555)) << 5) | (b >> 3));
  *reinterpret_cast<uint16_t*>(s.bits + static_cast<intptr_t>(y) * s.pitch + 2 * static_cast<intptr_t>(x)) =
      v;
}

// Packs a colour 0x00BBGGRR (red in the low byte) into the locked surface's layout.
inline uint16_t packColor(uint32_t color, int32_t is555) {
  const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  if (is555 == 0) return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
  return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

inline void PutPixel(int32_t x, int32_t y, uint32_t color) {
  const LockState& s = lockState;
  if (x < 0 || x > s.writeMaxX || y < 0 || y > s.writeMaxY) return;
  *reinterpret_cast<uint16_t*>(s.bits + static_cast<intptr_t>(y) * s.pitch + 2 * static_cast<intptr_t>(x)) =
      packColor(color, s.Is555);
}

// The raw 16-bit pixel, zero-extended; 0 outside the surface.
inline uint32_t GetPixel(int32_t x, int32_t y) {
  const LockState& s = lockState;
  if (x < 0 || x > s.writeMaxX || y < 0 || y > s.writeMaxY) return 0;
  return *reinterpret_cast<const uint16_t*>(s.bits + static_cast<intptr_t>(y) * s.pitch +
                                            2 * static_cast<intptr_t>(x));
}

// Bresenham with both end points drawn; pixels outside the surface are skipped.
void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t r, uint8_t g, uint8_t b);
// Vertical lines of one colour side by side (the ground): column x + k from row y to row ends[k],
// for k below count, exactly as DrawLine(x + k, y, x + k, ends[k], r, g, b) draws each. Written
// row by row: short lines next to each other would otherwise touch a cache line per pixel.
void DrawColumnLines(int32_t x, int32_t y, const int32_t* ends, int32_t count, uint8_t r, uint8_t g,
                     uint8_t b);

}  // namespace kv
