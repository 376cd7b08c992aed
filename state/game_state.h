#pragma once
// The game's whole state: program-wide variables under their own names. The level table and the
// rows of ground and stars live here too. One instance, `game`; tests reset it with resetGameState().
#include <cstdint>
#include <string>

#include "state/one_based.h"

namespace kv {

class TForm1;
class TSprajtczolgu1;
class TSprajtczolgu;
class TSprajtpocisku;
class TSprajtpocisku1;
class TSprajtkamienia;
class TSprajtdrzewa;
class TSprajtwroga;
class TSprajtbomby;

// One column of ground: the screen y of its top edge (larger is lower) and whether it is a pit.
struct TerrainColumn {
  int32_t height = 0;
  bool hole = false;
};

constexpr int kTerrainSlots = 820;
constexpr int kMaxRocks = 500;

struct GameState {
  // Run state: survives from level to level.
  TForm1* Form1 = nullptr;
  int32_t level = 0;
  int32_t totalPoints = 0;
  int32_t refreshRate = 0;
  int32_t fastSpeed = 0, normalSpeed = 0, slowSpeed = 0;
  bool introPending = false;
  bool surfaceLocked = false;
  uint32_t musicStream = 0;
  uint32_t musicLength = 0;
  std::string musicFileName;

  // Level parameters, copied from the level table at level start.
  bool rocksOn = false, holesOn = false, ufosOn = false, upwardShotsOn = false;
  int32_t holeChance = 0, rockChance = 0, ufoChance = 0, bombChance = 0;
  int32_t ammoLimit = 0;

  // Level state.
  int32_t speed = 0;
  double gravity = 0;
  int32_t distance = 0;
  int32_t distanceTicks = 0;
  int32_t points = 0;
  int32_t ammoUsed = 0;
  bool wrecked = false;
  int32_t wreckTime = 0;
  bool levelWon = false;
  bool jumpPending = false;
  bool holeSoundPlaying = false;
  bool holeActive = false;
  int32_t holeStep = 0;
  int32_t holeCooldown = 0;
  int32_t rockCooldown = 0;
  int32_t rockCount = 0;
  int32_t columnCount = 0;

  // Tick counters: never reset at level start, so they keep their phase from level to level.
  int32_t redrawTicks = 0, groundTicks = 0, starTicks = 0;
  bool redrawDue = false;

  // The last random draw of each kind.
  int32_t walkDraw = 0, starDraw = 0, holeDraw = 0, rockDraw = 0, ufoDraw = 0, bombDraw = 0;

  // The ground and the sky, one column per screen x.
  OneBased<TerrainColumn, kTerrainSlots> terrain;
  OneBased<int32_t, kTerrainSlots> stars;

  // Actors, owned by the sprite engine while a level runs; null between levels.
  TSprajtczolgu1* body = nullptr;
  OneBased<TSprajtczolgu*, 6> wheels;
  TSprajtpocisku* forwardShot = nullptr;
  TSprajtpocisku1* upwardShot = nullptr;
  OneBased<TSprajtkamienia*, kMaxRocks> rocks;
  OneBased<TSprajtdrzewa*, 5> trees;
  OneBased<TSprajtwroga*, 5> ufos;
  TSprajtbomby* bomb = nullptr;

  // Scale of the matrix-font captions.
  int32_t captionScale = 0;

  // Bookkeeping for the harness: frame-loop ticks so far, and whether a level is in play.
  int64_t ticks = 0;
  bool levelRunning = false;
};

extern GameState game;

// Back to the program-start values (all zero); for tests.
void resetGameState();

}  // namespace kv
