#include "core/ground_drawing.h"

#include <array>

#include "gfx/turbopixels.h"
#include "state/terrain.h"

namespace kv {

void drawGround() {
  const int32_t n = columnsInUse();
  // A star in a column the ground covers is hidden by it; the one right of the last column shows.
  std::array<int32_t, kTerrainSlots + 1> heights{};
  for (int32_t i = 1; i <= n; ++i) {
    PutPixel(i + 1, game.stars[i + 1], kStarColor);
    heights[static_cast<size_t>(i)] = game.terrain[i].height;
  }
  DrawColumnLines(1, 600, heights.data() + 1, n, kGroundRed, kGroundGreen, kGroundBlue);
}

}  // namespace kv
