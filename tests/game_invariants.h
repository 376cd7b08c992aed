#pragma once
// What must hold of a running game whatever the player does, checked between ticks by the game fuzz
// target and the soak: the level number, the ammunition, one end per level start, a sprite engine
// that holds exactly the level's actors while it runs and nothing between levels, actor references
// that are null between levels, and the counters within their ranges.
#include <cstdint>
#include <string>

#include "core/form.h"
#include "state/game_state.h"

namespace kv::test {

// Level starts and ends as the game's observer saw them.
struct LevelCounts {
  int64_t starts = 0;
  int64_t ends = 0;
};

namespace invariants_detail {

inline bool allActorsNull() {
  if (game.body || game.forwardShot || game.upwardShot || game.bomb) return false;
  for (int i = 1; i <= 6; ++i)
    if (game.wheels[i]) return false;
  for (int i = 1; i <= 5; ++i)
    if (game.trees[i] || game.ufos[i]) return false;
  for (int i = 1; i <= kMaxRocks; ++i)
    if (game.rocks[i]) return false;
  return true;
}

inline bool levelActorsPresent() {
  if (!game.body || !game.forwardShot || !game.upwardShot || !game.bomb) return false;
  for (int i = 1; i <= 6; ++i)
    if (!game.wheels[i]) return false;
  for (int i = 1; i <= 5; ++i)
    if (!game.trees[i] || !game.ufos[i]) return false;
  for (int i = 1; i <= game.rockCount; ++i)
    if (!game.rocks[i]) return false;
  return true;
}

}  // namespace invariants_detail

// The first broken promise, in words; empty when everything holds. Call it between ticks (not from
// inside one) on a form whose startup has run.
inline std::string brokenGamePromise(const TForm1& form, const LevelCounts& counts) {
  using namespace invariants_detail;
  if (game.level < 1 || game.level > 6) return "level " + std::to_string(game.level) + " is not 1..6";
  if (game.ammoUsed < 0 || game.ammoUsed > game.ammoLimit)
    return "ammoUsed " + std::to_string(game.ammoUsed) + " outside 0..ammoLimit " +
           std::to_string(game.ammoLimit);
  if (game.rockCount < 0 || game.rockCount > kMaxRocks)
    return "rockCount " + std::to_string(game.rockCount) + " outside 0..500";
  if (game.wreckTime < 0) return "wreckTime " + std::to_string(game.wreckTime) + " is negative";
  if (game.distance < 0 || game.distance > 41)
    return "distance " + std::to_string(game.distance) + " outside 0..41";
  if (game.totalPoints < 0) return "totalPoints went negative";
  const int64_t open = counts.starts - counts.ends;
  if (open != 0 && open != 1)
    return std::to_string(counts.starts) + " level starts but " + std::to_string(counts.ends) + " ends";
  if (game.levelRunning != (open == 1)) return "levelRunning disagrees with the starts and ends seen";

  const TSpriteEngine* engine = form.DXSpriteEngine1.Engine();
  if (!game.levelRunning) {
    if (engine->SpriteCount() != 0 || engine->Count() != 0)
      return "the sprite engine holds " + std::to_string(engine->SpriteCount()) + " sprites between levels";
    if (!allActorsNull()) return "an actor reference outlived its level";
    if (form.DXTimer1.Enabled()) return "the game's tick is on between levels";
    return {};
  }
  // Body, six wheels, two shots, five trees, five saucers, the bomb, and every rock of the level.
  const int32_t expected = 20 + game.rockCount;
  if (engine->Count() != expected || engine->SpriteCount() != expected)
    return "the sprite engine holds " + std::to_string(engine->SpriteCount()) + " sprites, the level made " +
           std::to_string(expected);
  if (!levelActorsPresent()) return "an actor of the running level is missing";
  // The tick ends the level in the tick that takes wreckTime past 1800.
  if (game.wreckTime > 1800) return "the level runs on with wreckTime " + std::to_string(game.wreckTime);
  if (game.surfaceLocked) return "the menu's pixel lock is held during a level";
  return {};
}

}  // namespace kv::test
