// The game's tick: one call of DXTimer1Timer per idle pass while a level runs. The ground scrolls
// one column every tick; the screen is redrawn (and the sprites move) every speed + 1 ticks.
#include "core/form.h"
#include "core/ground_drawing.h"
#include "gfx/turbopixels.h"
#include "platform/audio/music_stream.h"
#include "state/game_state.h"
#include "state/random.h"
#include "state/terrain.h"

namespace kv {

void TForm1::DXTimer1Timer(TDXTimer& /*sender*/, int /*lagCount*/) {
  ++game.ticks;
  const uint64_t endsBefore = levelEnds_;
  auto levelEnded = [&] { return levelEnds_ != endsBefore; };

  DXInput1.Poll();

  ++game.redrawTicks;
  ++game.groundTicks;
  ++game.starTicks;
  ++game.distanceTicks;

  // Read by the saucers in this tick's sprite move; 17 lets one drop the bomb.
  game.bombDraw = Random(game.bombChance);

  setEnginePitch();

  if (game.ufosOn) {
    game.ufoDraw = Random(game.ufoChance);
    if (game.ufoDraw == 17) launchUfo();
  }

  if (game.holeCooldown > 0) game.holeCooldown -= 1;

  if (game.redrawTicks > game.speed) {
    game.redrawTicks = 0;
    game.redrawDue = true;
  }

  game.starDraw = Random(20);
  seedStar();

  if (game.rocksOn) {
    if (game.rockCooldown > 0) game.rockCooldown -= 1;
    if (game.rockCooldown == 0) game.rockDraw = Random(game.rockChance);
    // Never over a hole: while the draw stays 17 there, a fresh draw comes next tick.
    if (game.rockDraw == 17 && !game.terrain[1].hole) spawnRock();
  }

  if (game.groundTicks > 2) {
    game.groundTicks = 0;
    stepGround();
    // Tested only here, so a distance unit lasts 801 ticks.
    if (game.distanceTicks > 800) {
      game.distance += 1;
      game.distanceTicks = 0;
    }
  }

  if (game.starTicks > 8) {
    shiftStars();
    game.starTicks = 0;
  }

  Application.ProcessMessages();
  // Stop (or closing the window) was handled just now: the selection screen owns the surface. A
  // redraw this tick made due dies with the level, so the next level's first one comes on time.
  if (levelEnded() || Application.Terminated()) {
    game.redrawDue = false;
    return;
  }

  if (game.redrawDue) {
    redrawFrame();
    game.redrawDue = false;
  }

  if (game.wreckTime > 1800) zakonczplansze();

  scrollTerrain();

  if (game.distance > 40 && !levelEnded()) {
    game.levelWon = true;
    zakonczplansze();
  }

  // Keep the music looping: restart once it is within 100 bytes of its end. An error position
  // (an unsigned value that is negative as a signed one) never restarts it.
  const auto position = static_cast<int64_t>(BASS_ChannelGetPosition(game.musicStream));
  const uint32_t threshold = game.musicLength - 100u;
  if (position > static_cast<int64_t>(threshold)) {
    BASS_ChannelStop(game.musicStream);
    BASS_ChannelPlay(game.musicStream, static_cast<BOOL>(-1));
  }
}

void TForm1::redrawFrame() {
  TDirectDrawSurface* surface = DXDraw1.Surface();
  if (surface) surface->Fill(0);
  moveAndDrawSprites();
  if (surface) {
    LockSurface(*surface);
    drawGround();
    UnlockSurface();
  }
  drawHud();
  DXDraw1.Flip();
}

}  // namespace kv
