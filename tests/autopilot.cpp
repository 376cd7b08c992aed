#include "tests/autopilot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "actors/rock.h"
#include "actors/shots.h"
#include "actors/ufo.h"
#include "actors/vehicle.h"
#include "platform/support/rounding.h"
#include "state/game_state.h"

namespace kv::test {

namespace {

constexpr int kUp = 38, kSpace = 32;

// Columns between the front of a hazard and the column the body would fall into when the jump
// starts: far enough to be in the air before it arrives, near enough to land after it has passed.
constexpr int kJumpFrom = 12, kJumpTo = 70;
// A rock is cleared while the body is at least 27 pixels up: from about the 9th to the 31st move of
// the jump, so its right edge should still be this far from the body's left edge at take-off.
constexpr int kRockJumpFrom = 75, kRockJumpTo = 110;
constexpr int kRockWidth = 35, kRockHeight = 40;

}  // namespace

void Autopilot::press(int vk, bool down) {
  if (down) {
    g_.app->keyboard().keyDown(vk);
  } else {
    g_.app->keyboard().keyUp(vk);
  }
}

void Autopilot::decide() {
  if (!game.body) return;
  const int c = round32(game.body->X);
  const int fall = c + 15;
  // A pit's front is its rightmost flagged column: the ground moves right one column a tick.
  bool jump = false;
  for (int d = kJumpFrom; d <= kJumpTo && !jump; ++d) {
    const int column = fall - d;
    if (column >= 1 && game.terrain[column].hole && !game.terrain[column + 1].hole) jump = true;
  }
  bool fire = false;
  for (int i = 1; i <= game.rockCount; ++i) {
    const TSprajtkamienia& rock = *game.rocks[i];
    if (rock.IsDead() || !rock.Collisioned) continue;
    const double gap = game.body->X - (rock.X + kRockWidth);
    if (gap < 0) continue;
    // A shot leaves 4 pixels below the body's top and is 8 high: it must meet the rock's rows.
    const double shotTop = game.body->Y + 4;
    const bool inLine = shotTop < rock.Y + kRockHeight && shotTop + 8 > rock.Y;
    const bool canShoot = inLine && game.ammoUsed < game.ammoLimit;
    if (canShoot && gap < 300 && !game.forwardShot->Flying) fire = true;
    if (!canShoot && gap >= kRockJumpFrom && gap <= kRockJumpTo) jump = true;
  }
  // A bomb about to blow a crater under the vehicle: be in the air when it lands, and come down
  // after the crater has scrolled past.
  const TSprajtbomby& bomb = *game.bomb;
  if (!bomb.Ready) {
    const int bc = round32(bomb.X);
    const double movesLeft = (game.terrain[std::clamp(bc, 1, 801)].height - bomb.Y) / 10;
    if (bc - 20 <= fall && fall <= bc + 20 + kJumpFrom && movesLeft < 12) jump = true;
  }
  // A saucer overhead: both guns fire together.
  for (int i = 1; i <= 5; ++i) {
    const TSprajtwroga& ufo = *game.ufos[i];
    if (ufo.Active && std::abs(ufo.X + 41 - (game.body->X + 13)) < 50 && !game.upwardShot->Flying)
      fire = true;
  }
  press(kUp, jump);
  press(kSpace, fire);
}

void Autopilot::playLevel() {
  bool was = false;
  while (game.levelRunning && g_.form->DXTimer1.Running()) {
    decide();
    g_.idle(1);
    if (game.wrecked && !was) {
      was = true;
      fprintf(stderr, "wreck tick %lld body X %.1f Y %.1f hole15 %d ammo %d/%d\n", (long long)game.ticks,
              game.body->X, game.body->Y, game.terrain[(int)game.body->X + 15].hole, game.ammoUsed,
              game.ammoLimit);
      for (int i = 1; i <= game.rockCount; ++i)
        if (!game.rocks[i]->IsDead())
          fprintf(stderr, " rock %d X %.1f coll %d\n", i, game.rocks[i]->X, game.rocks[i]->Collisioned);
      for (int c = 300; c <= 440; c += 4) fprintf(stderr, "%d", game.terrain[c].hole);
      fprintf(stderr, "\n");
    }
  }
  press(kUp, false);
  press(kSpace, false);
}

}  // namespace kv::test
