#include "core/level_table.h"

#include <array>
#include <stdexcept>

#include "state/game_state.h"

namespace kv {

namespace {

constexpr std::nullopt_t keep = std::nullopt;

// Pits only on level 1, rocks on 2, both on 3, saucers on 4, everything on 5 and 6.
// A larger chance is a rarer event; a smaller bombChance means more bombs.
const std::array<LevelRow, 6> kLevels{{
    {false, true, false, false, 250, keep, keep, keep, 2},
    {true, false, false, false, keep, 400, keep, keep, 55},
    {true, true, false, false, 400, 700, keep, keep, 40},
    {false, false, true, true, keep, keep, 1000, 62, 60},
    {true, true, true, true, 600, 800, 2000, 171, 60},
    {true, true, true, true, 400, 500, 3000, 40, 80},
}};

}  // namespace

const LevelRow& levelRow(int32_t level) {
  if (level < 1 || level > 6) throw std::out_of_range("there is no level " + std::to_string(level));
  return kLevels[static_cast<size_t>(level - 1)];
}

void applyLevelTable() {
  const LevelRow& row = levelRow(game.level);
  game.rocksOn = row.rocksOn;
  game.holesOn = row.holesOn;
  game.ufosOn = row.ufosOn;
  game.upwardShotsOn = row.upwardShotsOn;
  if (row.holeChance) game.holeChance = *row.holeChance;
  if (row.rockChance) game.rockChance = *row.rockChance;
  if (row.ufoChance) game.ufoChance = *row.ufoChance;
  if (row.bombChance) game.bombChance = *row.bombChance;
  game.ammoLimit = row.ammoLimit;
}

}  // namespace kv
