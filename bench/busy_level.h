#pragma once
// A running level 6 on the headless back end, made as busy as such a level gets: five trees, the
// vehicle, both shots in flight, five saucers in play, the bomb falling, a dozen rocks of which half
// are dead, the ground with a pit and a crater. The actors move on every redraw, so reset() puts the
// scene back before each measured tick: rocks do not all die, shots keep flying, the bomb never lands
// and the pit does not scroll away.
#include <algorithm>
#include <memory>

#include "actors/rock.h"
#include "actors/shots.h"
#include "actors/tree.h"
#include "actors/ufo.h"
#include "actors/vehicle.h"
#include "app/headless_game.h"
#include "state/game_state.h"
#include "state/terrain.h"

namespace kv::bench {

// The benchmarks' game: the defaults, with the build's data files.
inline HeadlessGameSettings benchGame() {
  HeadlessGameSettings s;
  s.dataDirs = {KV_BENCH_DATA_DIR};
  return s;
}

class BusyLevel {
 public:
  static constexpr int kRocks = 12;

  BusyLevel() : headless_(benchGame()), form_(*headless_.form) {
    form_.Show();
    form_.Button1Click();  // Play: from now on every flip waits for the vertical blank
    form_.levelButtonClick(6);
    makeGround();
    ground_ = game.terrain;
    stars_ = game.stars;
    // Let the vehicle settle on that ground before anything is measured; rocks and saucers come after,
    // since a rock that dies stays dead.
    for (int i = 0; i < 40; ++i) {
      resetLevelState();
      redrawTick();
    }
    body_ = {game.body->X, game.body->Y};
    for (int i = 1; i <= 6; ++i) wheels_[i - 1] = {game.wheels[i]->X, game.wheels[i]->Y};
    for (int i = 0; i < kRocks; ++i) form_.spawnRock();
    for (int i = 0; i < 5; ++i) form_.launchUfo();
    // The sound card's mixing (the music decoded, the voices summed) runs on the audio thread in the
    // real program, not in the game's: here it happens in reset(), outside what is measured.
    headless_.backend->audio.setMixOnDemand(true);
    reset();
  }
  BusyLevel(const BusyLevel&) = delete;
  BusyLevel& operator=(const BusyLevel&) = delete;

  TForm1& form() { return form_; }

  // One tick of the frame loop whose redraw is due: the whole redraw with its present.
  void redrawTick() {
    game.redrawTicks = game.speed;
    form_.DXTimer1Timer(form_.DXTimer1, 1);
  }
  // One tick without a redraw.
  void plainTick() {
    game.redrawTicks = -1'000'000;
    form_.DXTimer1Timer(form_.DXTimer1, 1);
  }

  // Puts every actor and the ground back where a busy frame has them.
  void reset() {
    headless_.backend->audio.mixDue();
    resetLevelState();
    game.body->X = body_.x;
    game.body->Y = body_.y;
    for (int i = 1; i <= 6; ++i) {
      game.wheels[i]->X = wheels_[i - 1].x;
      game.wheels[i]->Y = wheels_[i - 1].y;
    }
    game.body->Visible = true;
    game.stars = stars_;
    // Both shots in flight, clear of every rock and saucer for one move.
    game.forwardShot->X = 372;
    game.forwardShot->Y = 512;
    game.forwardShot->Flying = game.forwardShot->Visible = game.forwardShot->Collisioned = true;
    game.upwardShot->X = 430;
    game.upwardShot->Y = 320;
    game.upwardShot->Flying = game.upwardShot->Visible = game.upwardShot->Collisioned = true;
    for (int i = 1; i <= 5; ++i) {
      TSprajtdrzewa* tree = game.trees[i];
      tree->X = -60 + 185 * (i - 1);
      tree->Y = 300;
    }
    for (int i = 1; i <= 5; ++i) {
      TSprajtwroga* ufo = game.ufos[i];
      ufo->X = 30 + 150 * (i - 1);
      ufo->SpeedX = 1.5L + 0.3L * i;
      ufo->Active = ufo->Visible = ufo->Collisioned = true;
    }
    game.bomb->X = 341;
    game.bomb->Y = 210;
    game.bomb->Visible = true;
    game.bomb->Ready = false;
    // Six rocks rolling left of the vehicle, six shot earlier and parked beyond the right edge.
    for (int i = 1; i <= kRocks; ++i) {
      TSprajtkamienia* rock = game.rocks[i];
      if (i <= kRocks / 2) {
        rock->X = 20 + 55 * (i - 1);
        rock->Y = game.terrain[1].height - rock->Height + 3;
        rock->Visible = rock->Collisioned = true;
      } else {
        rock->X = 810;
        rock->Visible = rock->Collisioned = false;
        rock->MarkDead();
      }
    }
  }

  // What the last tick took from the scene reset() made (nullptr: nothing died, landed or ended).
  const char* lostPart() const {
    int liveRocks = 0;
    for (int i = 1; i <= kRocks; ++i) liveRocks += game.rocks[i]->IsDead() ? 0 : 1;
    bool ufosUp = true;
    for (int i = 1; i <= 5; ++i) ufosUp = ufosUp && game.ufos[i]->Visible;
    if (!game.levelRunning) return "the level ended";
    if (game.wrecked) return "the vehicle was wrecked";
    if (liveRocks != kRocks / 2) return "a rock died";
    if (!ufosUp) return "a saucer was shot";
    if (!game.bomb->Visible) return "the bomb landed";
    if (!game.forwardShot->Flying || !game.upwardShot->Flying) return "a shot was spent";
    return nullptr;
  }

 private:
  // The ground and the game's counters as a busy frame has them.
  void resetLevelState() {
    game.terrain = ground_;
    game.stars = stars_;
    game.distance = 3;
    game.distanceTicks = 0;
    game.wrecked = false;
    game.wreckTime = 0;
    game.gravity = 0.1;
    game.ammoUsed = 36;
    game.points = 17;
    game.rockCooldown = 1'000'000;  // no new rock: the dozen stays a dozen
    game.holeCooldown = 1'000'000;  // and no new pit at the left edge
  }

  // Wandering ground near 550, a whole pit from column 200 (its middle below the screen), a crater
  // at column 600, and a star in every seventh column of the sky.
  static void makeGround() {
    int32_t h = 550;
    for (int32_t i = game.columnCount; i >= 1; --i) {
      h = std::clamp(h + (i * 7919 % 5) - 2, 520, 580);
      game.terrain[i] = TerrainColumn{h, false};
      game.stars[i] = i % 7 == 0 ? (i * 37) % 500 : -1;
    }
    for (int32_t s = 1; s <= 35; ++s) {
      int32_t offset = 0;
      for (int32_t k = 1; k <= s; ++k) offset += pitIncrement(k);
      for (int32_t c = 200 + 3 * (s - 1); c < 200 + 3 * s; ++c) game.terrain[c] = {550 + offset, true};
    }
    blowCrater(600);
  }

  struct Place {
    double x = 0, y = 0;
  };

  HeadlessGame headless_;
  TForm1& form_;
  decltype(game.terrain) ground_;
  decltype(game.stars) stars_;
  Place body_;
  Place wheels_[6];
};

}  // namespace kv::bench
