#include "state/terrain.h"

#include <algorithm>
#include <cmath>

#include "platform/support/rounding.h"
#include "state/random.h"

namespace kv {

namespace {
constexpr int32_t kPitSteps = 35;
constexpr int32_t kPitCooldown = 250;
constexpr int32_t kCraterWidth = 41;

}  // namespace

int32_t columnsInUse() {
  return std::clamp(game.columnCount, 0, kTerrainSlots - 1);
}

int32_t pitIncrement(int32_t s) {
  return round32(6.0L * std::sin(static_cast<long double>(s) / 5.5L));
}

int32_t craterIncrement(int32_t k) {
  return round32(28.0L * std::sin(static_cast<long double>(k) / 14.5L));
}

void resetTerrain() {
  for (int32_t i = 1; i <= columnsInUse(); ++i) game.terrain[i] = TerrainColumn{kLevelStartGround, false};
}

void stepGround() {
  TerrainColumn& entry = game.terrain[1];
  game.walkDraw = Random(8);
  if (game.walkDraw == 0 && entry.height < 580) entry.height += 1;
  if (game.walkDraw == 1 && entry.height > 520) entry.height -= 1;
  if (!game.holesOn) return;
  game.holeDraw = Random(game.holeChance);
  if (game.holeDraw == 0 && game.holeCooldown == 0) {
    game.holeActive = true;
    game.holeStep = 0;
    game.holeCooldown = kPitCooldown;
  }
  if (game.holeActive) game.holeStep += 1;
  if (game.holeStep > kPitSteps) game.holeActive = false;
  if (game.holeActive) {
    entry.height += pitIncrement(game.holeStep);
    entry.hole = true;
  } else {
    entry.hole = false;
  }
}

void scrollTerrain() {
  // Column i takes column i - 1's record, for every i from the last down to 2: one block move.
  const int32_t n = columnsInUse();
  if (n >= 2) std::copy_backward(game.terrain.data(), game.terrain.data() + n - 1, game.terrain.data() + n);
}

void seedStar() {
  game.stars[1] = game.starDraw == 10 ? Random(601) : -1;
}

void shiftStars() {
  const int32_t n = columnsInUse();
  if (n >= 2) std::copy_backward(game.stars.data(), game.stars.data() + n - 1, game.stars.data() + n);
}

void blowCrater(int32_t c) {
  for (int32_t k = 1; k <= kCraterWidth; ++k) {
    const int32_t j = c - 21 + k;
    if (j < 1 || j > columnsInUse()) continue;
    game.terrain[j].height += craterIncrement(k);
    game.terrain[j].hole = true;
  }
}

TerrainColumn groundAt(int32_t column) {
  if (column < 1 || column > columnsInUse()) return TerrainColumn{kNoGround, false};
  return game.terrain[column];
}

}  // namespace kv
