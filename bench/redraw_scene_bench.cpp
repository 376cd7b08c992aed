// One redraw of a busy level-6 scene, the way the frame loop builds it: clear, the pictures of every
// actor at the places they have on such a frame, stars and ground with a pit and a crater, the three
// HUD lines, and the present to the headless display. Also the clear alone against memset.
#include <benchmark/benchmark.h>

#include <string>

#include "assets/catalogue.h"
#include "bench/floor.h"
#include "core/game_state.h"
#include "core/terrain.h"
#include "gfx/dd_surface.h"
#include "gfx/dxdraw.h"
#include "gfx/font_text.h"
#include "gfx/image_list.h"
#include "gfx/turbopixels.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace kv {
namespace {

enum Picture { kWheel = 0, kBody = 1, kRock = 3, kShot = 4, kTree = 5, kUfo = 6, kUpShot = 7, kBomb = 8 };

// Its parts stay out of line, so a profile (callgrind) counts instructions per part.
// The game's display after Play (every flip waits for the vertical blank) with its pictures.
struct Scene {
  Scene() {
    draw.SetBounds(0, 0, 800, 566);
    draw.Display.Width = 800;
    draw.Display.Height = 600;
    draw.SetOptions(doFullScreen | doAllowReboot | doDirectX7Mode | doHardware | doSelectDriver);
    draw.Initialize();
    draw.SetOptions(draw.Options() | doWaitVBlank);
    loadImages(list);
    list.SetDXDraw(&draw);
    makeGround();
  }

  // Wandering ground near 550, a whole pit from column 200 (its middle below the screen), a crater
  // at column 600, and a sky with a star in every seventh column.
  static void makeGround() {
    resetGameState();
    game.columnCount = 801;
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

  [[gnu::noinline]] void drawActors() {
    TDirectDrawSurface* s = draw.Surface();
    TPictureCollection& items = list.Items();
    // Drawn as the engine orders them: rocks, bomb and saucers under the trees, the shots and the
    // vehicle on top. Six of the dozen rocks are dead and invisible, so they are not drawn.
    for (int i = 0; i < 6; ++i) items[kRock].Draw(s, 40 + 125 * i, 513, 0);
    items[kBomb].Draw(s, 341, 210, 0);
    for (int i = 0; i < 5; ++i) items[kUfo].Draw(s, 30 + 150 * i, 55 + 15 * i, (frame_ + i) % 8);
    for (int i = 0; i < 5; ++i) items[kTree].Draw(s, -60 + 185 * i, 300, 0);
    items[kShot].Draw(s, 372, 512, 0);
    items[kUpShot].Draw(s, 430, 320, 0);
    for (int i = 0; i < 6; ++i) items[kWheel].Draw(s, 404 + 12 * i, 528, 0);
    items[kBody].Draw(s, 400, 508, frame_ % 8);
    ++frame_;
  }

  [[gnu::noinline]] void drawHud() {
    TDirectDrawSurface* s = draw.Surface();
    DrawFontText(s, list, "font", "Kilometry: " + std::to_string(37), 470, 2);
    DrawFontText(s, list, "font", "Amunicja: " + std::to_string(964), 470, 26);
    DrawFontText(s, list, "font", "Punkty: " + std::to_string(12500), 470, 50);
  }

  [[gnu::noinline]] void redraw() {
    TDirectDrawSurface& s = *draw.Surface();
    s.Fill(0);
    drawActors();
    LockSurface(s);
    drawGround();
    UnlockSurface();
    drawHud();
    draw.Flip();
  }

  VirtualClock clock;
  VirtualDisplay video{clock, 60};
  TDXDraw draw{video};
  TDXImageList list;
  int frame_ = 0;
};

void BM_BusySceneRedraw(benchmark::State& state) {
  Scene scene;
  scene.redraw();
  bench::RatioTimer timer;
  for (auto _ : state) scene.redraw();
  timer.report(state);
}
BENCHMARK(BM_BusySceneRedraw);

// The parts of that redraw one at a time, to see where its time goes.
void BM_BusySceneActors(benchmark::State& state) {
  Scene scene;
  bench::RatioTimer timer;
  for (auto _ : state) scene.drawActors();
  timer.report(state);
}
BENCHMARK(BM_BusySceneActors);

void BM_BusySceneGround(benchmark::State& state) {
  Scene scene;
  TDirectDrawSurface& s = *scene.draw.Surface();
  bench::RatioTimer timer;
  for (auto _ : state) {
    LockSurface(s);
    drawGround();
    UnlockSurface();
  }
  timer.report(state);
}
BENCHMARK(BM_BusySceneGround);

void BM_BusySceneHud(benchmark::State& state) {
  Scene scene;
  bench::RatioTimer timer;
  for (auto _ : state) scene.drawHud();
  timer.report(state);
}
BENCHMARK(BM_BusySceneHud);

void BM_BusyScenePresent(benchmark::State& state) {
  Scene scene;
  bench::RatioTimer timer;
  for (auto _ : state) scene.draw.Flip();
  timer.report(state);
}
BENCHMARK(BM_BusyScenePresent);

// Fill(0) of the drawing surface against the memset of the same bytes.
void BM_FillAgainstMemset(benchmark::State& state) {
  Scene scene;
  TDirectDrawSurface& s = *scene.draw.Surface();
  bench::RatioTimer timer(/*clearOnly=*/true);
  for (auto _ : state) {
    s.Fill(0);
    benchmark::ClobberMemory();
  }
  timer.report(state);
}
BENCHMARK(BM_FillAgainstMemset);

}  // namespace
}  // namespace kv
