#include "gfx/backdrop.h"

#include <cmath>

#include "gfx/turbopixels.h"
#include "platform/support/rounding.h"

namespace kv {

int32_t backdropBase = 0;
long double backdropPhase = 0;
std::array<BackdropColumn, kBackdropColumns> backdropColumns{};

namespace {

constexpr uint32_t kYellow565 = 0xFFE0;
constexpr uint32_t kRed565 = 0xF800;

// The written pixel takes the examined one's colour swapped; anything but red or yellow becomes black.
void recolour(int32_t x, int32_t examinedY, int32_t writtenY) {
  const uint32_t p = GetPixel(x, examinedY);
  uint32_t color = 0;
  if (p == kYellow565) {
    color = 0x0000FF;
  } else if (p == kRed565) {
    color = 0x00FFFF;
  }
  PutPixel(x, writtenY, color);
}

}  // namespace

void resetBackdrop() {
  backdropBase = 258;
  backdropPhase = 1.0L;
  for (BackdropColumn& c : backdropColumns) c.current = 142;
}

bool backdropTick(TDirectDrawSurface& surface, bool& surfaceLocked,
                  const std::function<bool()>& processMessages) {
  backdropPhase = backdropPhase + 0.005L;
  backdropColumns[0].current = round32(std::sin(backdropPhase) * 45.0L);
  if (!surfaceLocked) {
    LockSurface(surface);
    surfaceLocked = true;
  }
  const int32_t b = backdropBase;
  for (int32_t x = 1; x <= kBackdropColumns; ++x) {
    BackdropColumn& col = backdropColumns[static_cast<size_t>(x - 1)];
    const int32_t h = col.current;
    if (h < col.previous) {
      recolour(x, b + 99 + h, b + 100 + h);
      if (!processMessages()) return false;
    } else if (h > col.previous) {
      recolour(x, b + 102 + h, b + 101 + h);
    }
  }
  for (BackdropColumn& c : backdropColumns) c.previous = c.current;
  for (int k = kBackdropColumns - 2; k >= 0; --k) {
    backdropColumns[static_cast<size_t>(k) + 1].current = backdropColumns[static_cast<size_t>(k)].current;
  }
  if (surfaceLocked) {
    UnlockSurface();
    surfaceLocked = false;
  }
  return true;
}

}  // namespace kv
