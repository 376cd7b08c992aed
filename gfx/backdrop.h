#pragma once
// The title backdrop: a sine wave enters at the left edge and moves one column right per tick;
// wherever a column's wave height changes, one pixel at the wave's edge takes its colour from its
// neighbour, red becoming yellow, yellow red, anything else black. The big caption shimmers and is
// slowly worn away along the wave.
#include <array>
#include <cstdint>
#include <functional>

namespace kv {

class TDirectDrawSurface;

struct BackdropColumn {
  int32_t current = 0;
  int32_t previous = 0;
};

constexpr int kBackdropColumns = 800;

extern int32_t backdropBase;
extern long double backdropPhase;
extern std::array<BackdropColumn, kBackdropColumns> backdropColumns;

// Back to the start: base 258, phase 1.0, every column's height 142 (well below the caption);
// the previous heights are kept.
void resetBackdrop();

// One tick of the wave on surface, sharing the pixel lock through surfaceLocked. After every column
// whose height rose it lets pending window messages run through processMessages; when that returns
// false somebody else has taken the screen (a level started, the menu redrew) and the tick stops at
// once without touching the surface again. Returns true when the tick ran to its end; the caller
// then presents.
bool backdropTick(TDirectDrawSurface& surface, bool& surfaceLocked,
                  const std::function<bool()>& processMessages);

}  // namespace kv
