// The level's actors as the frame loop and the level's start and end see them: creation in their
// fixed order, the saucer launch and rock spawn draws, the sprite pass of a redraw, the engine
// sound, the HUD and the banner. The actor classes themselves are not written yet; the random
// draws already happen here in their places, so the sequence of a level will not change when they
// arrive.
#include "core/form.h"
#include "core/game_state.h"
#include "core/random.h"
#include "gfx/font_text.h"

namespace kv {

void TForm1::createLevelActors() {
  // Trees stand at random places across the screen.
  for (int i = 1; i <= 5; ++i) treeStartX_[static_cast<size_t>(i - 1)] = Random(800);
}

void TForm1::freeLevelActors() {}

void TForm1::launchUfo() {
  // The first saucer that is not flying; with all five up, the fifth starts again.
  const int32_t y = Random(70) + 55;
  const long double speedX = (Random(300) + 100) * 0.009L;
  (void)y;
  (void)speedX;
}

void TForm1::spawnRock() {
  game.rockCooldown = 300;
  game.rockDraw = 0;
  if (game.rockCount < kMaxRocks) game.rockCount += 1;
}

void TForm1::moveAndDrawSprites() {
  // Every actor moves once, in creation order; then all are drawn, the newest first.
  DXSpriteEngine1.Move(1);
  DXSpriteEngine1.Draw();
}

void TForm1::setEnginePitch() {
  // Three tests in turn, each applied even when nothing changed; with two equal speeds the later wins.
  TWaveCollectionItem& engine = DXWaveList1.Items()[kEngineSound];
  if (game.speed == game.fastSpeed) engine.SetPlayFrequency(55000);
  if (game.speed == game.normalSpeed) engine.SetPlayFrequency(45000);
  if (game.speed == game.slowSpeed) engine.SetPlayFrequency(35000);
}

void TForm1::startEngineSound() {
  DXWaveList1.Items()[kEngineSound].PlayWave(false);
}

void TForm1::stopEngineSound() {
  DXWaveList1.Items()[kEngineSound].StopWave();
}

void TForm1::drawHud() {
  TDirectDrawSurface* surface = DXDraw1.Surface();
  if (!surface) return;
  DrawFontText(surface, DXImageList2, "font", "Kilometry: " + std::to_string(40 - game.distance), 470, 2);
  DrawFontText(surface, DXImageList2, "font", "Amunicja: " + std::to_string(game.ammoLimit - game.ammoUsed),
               470, 26);
  DrawFontText(surface, DXImageList2, "font", "Punkty: " + std::to_string(game.points), 470, 50);
}

void TForm1::drawBanner() {
  TDirectDrawSurface* surface = DXDraw1.Surface();
  if (!surface) return;
  DrawFontText(surface, DXImageList2, "font", "Level " + std::to_string(game.level), 300, 200);
  DrawFontText(surface, DXImageList2, "font", "Total points " + std::to_string(game.totalPoints), 210, 300);
}

}  // namespace kv
