#pragma once
// The six levels' fixed parameters. A row leaves a variable alone where it has no value.
#include <cstdint>
#include <optional>

namespace kv {

struct LevelRow {
  bool rocksOn, holesOn, ufosOn, upwardShotsOn;
  std::optional<int32_t> holeChance, rockChance, ufoChance, bombChance;
  int32_t ammoLimit;
};

// Row of level 1..6.
const LevelRow& levelRow(int32_t level);

// Copies the row of game.level into the level-parameter variables.
void applyLevelTable();

}  // namespace kv
