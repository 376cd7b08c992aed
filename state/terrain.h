#pragma once
// The ground and the sky as rows of columns, one per screen x. New ground enters at column 1 on
// the left and the whole row moves one column to the right every tick, so the landscape scrolls
// under the vehicle, which faces left. Stars drift at a ninth of that speed.
#include <cstdint>

#include "state/game_state.h"

namespace kv {

constexpr int32_t kLevelStartGround = 550;
constexpr int32_t kNoGround = 1'000'000;  // what lies outside the row: nothing to land on

// Flat ground of height 550 without pits in the columns in use; the sky is left as it is.
void resetTerrain();
// Every third tick: the random walk of column 1 and, on levels with pits, the pit generator.
void stepGround();
// Every tick: the row moves one column right; column 1 keeps its value (and so repeats).
void scrollTerrain();
// Every tick: a star in column 1 when this tick's star draw is 10, else none.
void seedStar();
// Every ninth tick: the sky moves one column right.
void shiftStars();
// A bomb lands in column c: a sine-shaped crater 41 columns wide, all flagged as holes.
void blowCrater(int32_t c);

// The columns in use: columnCount, but never past the row's slots.
int32_t columnsInUse();

// The column at a screen x. Columns outside the row (only wreckage flying apart asks for them)
// have no ground and no hole.
TerrainColumn groundAt(int32_t column);

// The increment of pit step s (1..35) and of crater column k (1..41).
int32_t pitIncrement(int32_t s);
int32_t craterIncrement(int32_t k);

}  // namespace kv
