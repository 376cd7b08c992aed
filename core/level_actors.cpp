// The level's actors as the frame loop and the level's start and end see them: creation in their
// fixed order with their starting values, the saucer launch and the rock spawn, the sprite pass of a
// redraw, the engine sound, the HUD and the banner.
#include "actors/rock.h"
#include "actors/shots.h"
#include "actors/tree.h"
#include "actors/ufo.h"
#include "actors/vehicle.h"
#include "core/form.h"
#include "gfx/font_text.h"
#include "state/game_state.h"
#include "state/random.h"

namespace kv {

namespace {

// Indices of the pictures in DXImageList2.
constexpr int32_t kWheelImage = 0, kBodyImage = 1, kRockImage = 3, kForwardShotImage = 4, kTreeImage = 5,
                  kUfoImage = 6, kUpwardShotImage = 7, kBombImage = 8;

// A new actor as the last child of the engine, showing picture `image`.
template <typename Actor>
Actor* createActor(TDXSpriteEngine& engine, TDXImageList& images, int32_t image) {
  auto* actor = new Actor(engine.Engine());
  actor->SetImage(&images.Items()[image]);
  return actor;
}

template <typename Actor>
void freeActor(Actor*& actor) {
  delete actor;
  actor = nullptr;
}

}  // namespace

void TForm1::createLevelActors() {
  // The parts start at the ground the last level left behind (all zero before the first level,
  // so the vehicle falls in from the top); the level start flattens the ground afterwards.
  game.body = createActor<TSprajtczolgu1>(DXSpriteEngine1, DXImageList2, kBodyImage);
  game.body->X = 400.0;
  game.body->Y = game.terrain[430].height - 33;
  game.body->Weight = 2.0;
  game.body->AnimCount = 7;
  game.body->AnimLooped = true;
  game.body->AnimSpeed = 0.18;

  for (int i = 1; i <= 6; ++i) {
    TSprajtczolgu* wheel = createActor<TSprajtczolgu>(DXSpriteEngine1, DXImageList2, kWheelImage);
    wheel->X = 12 * i + 390;
    wheel->Y = game.terrain[400].height - 13;
    wheel->Weight = 2.0;
    wheel->WheelIndex = i;
    game.wheels[i] = wheel;
  }

  // Both guns wait out of sight until their first launch.
  game.forwardShot = createActor<TSprajtpocisku>(DXSpriteEngine1, DXImageList2, kForwardShotImage);
  game.upwardShot = createActor<TSprajtpocisku1>(DXSpriteEngine1, DXImageList2, kUpwardShotImage);
  for (TImageSprite* shot :
       {static_cast<TImageSprite*>(game.forwardShot), static_cast<TImageSprite*>(game.upwardShot)}) {
    shot->X = 300.0;
    shot->Y = 400.0;
    shot->Visible = false;
  }

  for (int i = 1; i <= 5; ++i) {
    TSprajtdrzewa* tree = createActor<TSprajtdrzewa>(DXSpriteEngine1, DXImageList2, kTreeImage);
    tree->X = Random(800);
    tree->Y = game.terrain[1].height + 230;
    game.trees[i] = tree;
  }

  // The saucers exist on every level; they stay out of play until the frame loop launches them.
  for (int i = 1; i <= 5; ++i) {
    TSprajtwroga* ufo = createActor<TSprajtwroga>(DXSpriteEngine1, DXImageList2, kUfoImage);
    ufo->Visible = false;
    ufo->Collisioned = false;
    ufo->AnimCount = 7;
    ufo->AnimLooped = true;
    ufo->AnimSpeed = 0.23;
    game.ufos[i] = ufo;
  }

  game.bomb = createActor<TSprajtbomby>(DXSpriteEngine1, DXImageList2, kBombImage);
  game.bomb->X = 800.0;
  game.bomb->Y = 10.0;
  game.bomb->Visible = false;
  game.bomb->Ready = true;
}

void TForm1::freeLevelActors() {
  for (int i = 1; i <= 6; ++i) freeActor(game.wheels[i]);
  // Rocks that left the screen or were shot are still in the tree, dead; they go here.
  if (game.rocksOn) {
    for (int i = 1; i <= game.rockCount; ++i) freeActor(game.rocks[i]);
  }
  for (int i = 1; i <= 5; ++i) freeActor(game.trees[i]);
  for (int i = 1; i <= 5; ++i) freeActor(game.ufos[i]);
  freeActor(game.body);
  freeActor(game.forwardShot);
  freeActor(game.upwardShot);
  freeActor(game.bomb);
}

void TForm1::launchUfo() {
  // The first saucer that is not in play; with all five up, the fifth starts again.
  int i = 1;
  while (i < 5 && game.ufos[i]->Active) ++i;
  TSprajtwroga* ufo = game.ufos[i];
  ufo->Active = true;
  ufo->Visible = true;
  ufo->X = 0.0;
  // Only advances the random sequence: the saucer's first move sets its height from its x.
  ufo->Y = Random(70) + 55;
  ufo->SpeedX = (Random(300) + 100) * 0.009L;
  ufo->Collisioned = true;
}

void TForm1::spawnRock() {
  game.rockCooldown = 300;
  game.rockDraw = 0;
  if (game.rockCount >= kMaxRocks) return;  // the table is full: far beyond what a level reaches
  game.rockCount += 1;
  TSprajtkamienia* rock = createActor<TSprajtkamienia>(DXSpriteEngine1, DXImageList2, kRockImage);
  game.rocks[game.rockCount] = rock;
  rock->X = 1.0;
  // Its bottom row lies three pixels into the ground at the left edge.
  rock->Y = game.terrain[1].height - rock->Height + 3;
  rock->Collisioned = true;
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
