// A level from its start (state reset, actors made, a three-second banner, the tick switched on)
// to its end (tick off, actors freed, points carried over after a win, back to the selection).
#include "core/form.h"
#include "core/game_observer.h"
#include "core/level_table.h"
#include "gfx/turbopixels.h"
#include "platform/audio/music_stream.h"
#include "state/game_state.h"
#include "state/terrain.h"

namespace kv {

void TForm1::inicjujplansze() {
  // The selection screen may still hold the pixel lock (a level button handled before the first
  // backdrop tick, or from inside one): give it back before anything is drawn.
  takeScreen();
  releaseMenuLock();
  game.levelRunning = true;

  Button1.SetVisible(false);
  Button2.SetVisible(true);
  Button3.SetVisible(false);
  for (TButton* b : {&Button4, &Button5, &Button6, &Button7, &Button8, &Button9}) b->SetVisible(false);

  game.wrecked = false;
  game.levelWon = false;
  applyLevelTable();
  game.columnCount = 801;
  game.holeCooldown = 300;
  game.rockCooldown = 1100;
  game.distance = 0;
  game.ammoUsed = 0;
  game.rockCount = 0;
  game.distanceTicks = 0;
  game.wreckTime = 0;

  createLevelActors();

  // Starts the music on the first level; later levels find it playing and let it run on.
  BASS_ChannelPlay(game.musicStream, kFalse);

  game.holeActive = false;
  game.holeSoundPlaying = false;
  game.gravity = 0.1;
  game.speed = 6;
  game.points = 0;
  resetTerrain();

  if (TDirectDrawSurface* surface = DXDraw1.Surface()) surface->Fill(0);
  drawBanner();
  DXDraw1.Flip();
  // The banner stays for three seconds; no window message is handled meanwhile.
  Application.platform().clock.sleepMs(3000);

  startEngineSound();
  DXTimer1.SetEnabled(true);
  if (observer_) observer_->levelStarted();
}

void TForm1::zakonczplansze() {
  if (!game.levelRunning) return;  // the actors are freed once per level
  DXTimer1.SetEnabled(false);
  freeLevelActors();
  stopEngineSound();
  if (game.levelWon && game.level < 6) game.totalPoints += game.points;
  game.levelRunning = false;
  ++levelEnds_;

  Button1.SetVisible(true);
  Button2.SetVisible(false);
  Button3.SetVisible(true);
  for (TButton* b : {&Button4, &Button5, &Button6, &Button7, &Button8, &Button9}) b->SetVisible(true);
  pickalevel();
  if (observer_) observer_->levelEnded();
}

void TForm1::releaseMenuLock() {
  if (!game.surfaceLocked) return;
  UnlockSurface();
  game.surfaceLocked = false;
}

}  // namespace kv
