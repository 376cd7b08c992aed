// One redraw of a busy level-6 scene by the real game: the frame loop's tick with the redraw due,
// which clears the surface, moves and draws every actor, paints stars and ground with a pit and a
// crater, writes the HUD and presents to the headless display. Then its parts one at a time, the
// clear alone against memset, and a tick of the same level without a redraw. The scene is put back
// between iterations (bench/busy_level.h) and only the game's own work is measured.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/busy_level.h"
#include "bench/floor.h"
#include "core/ground_drawing.h"
#include "gfx/dd_surface.h"
#include "gfx/font_text.h"
#include "gfx/turbopixels.h"

namespace kv {
namespace {

// A benchmark of one part of the busy redraw: `part` is measured, the scene reset in between. Parts
// much shorter than a clock reading run `repeats` times per measurement.
template <typename Part>
void measureBusy(benchmark::State& state, Part&& part, bool clearOnly = false, int repeats = 1) {
  bench::BusyLevel level;
  bench::MeasuredRatio ratio(clearOnly);
  for (auto _ : state) {
    level.reset();
    ratio.time(state, [&] {
      for (int i = 0; i < repeats; ++i) part(level);
    });
  }
  // A scene that lost its actors would flatter the figure.
  if (const char* lost = level.lostPart()) state.SkipWithError(lost);
  ratio.report(state, repeats);
}

void BM_BusySceneRedraw(benchmark::State& state) {
  measureBusy(state, [](bench::BusyLevel& level) { level.redrawTick(); });
}
BENCHMARK(BM_BusySceneRedraw)->UseManualTime();

void BM_BusySceneSprites(benchmark::State& state) {
  measureBusy(state, [](bench::BusyLevel& level) {
    level.form().DXSpriteEngine1.Move(1);
    level.form().DXSpriteEngine1.Draw();
  });
}
BENCHMARK(BM_BusySceneSprites)->UseManualTime();

void BM_BusySceneGround(benchmark::State& state) {
  measureBusy(state, [](bench::BusyLevel& level) {
    LockSurface(*level.form().DXDraw1.Surface());
    drawGround();
    UnlockSurface();
  });
}
BENCHMARK(BM_BusySceneGround)->UseManualTime();

void BM_BusySceneHud(benchmark::State& state) {
  measureBusy(state, [](bench::BusyLevel& level) {
    TForm1& form = level.form();
    TDirectDrawSurface* s = form.DXDraw1.Surface();
    DrawFontText(s, form.DXImageList2, "font", "Kilometry: " + std::to_string(40 - game.distance), 470, 2);
    DrawFontText(s, form.DXImageList2, "font", "Amunicja: " + std::to_string(game.ammoLimit - game.ammoUsed),
                 470, 26);
    DrawFontText(s, form.DXImageList2, "font", "Punkty: " + std::to_string(game.points), 470, 50);
  });
}
BENCHMARK(BM_BusySceneHud)->UseManualTime();

void BM_BusyScenePresent(benchmark::State& state) {
  measureBusy(state, [](bench::BusyLevel& level) { level.form().DXDraw1.Flip(); });
}
BENCHMARK(BM_BusyScenePresent)->UseManualTime();

// Fill(0) of the drawing surface against the memset of the same bytes.
void BM_FillAgainstMemset(benchmark::State& state) {
  measureBusy(
      state,
      [](bench::BusyLevel& level) {
        level.form().DXDraw1.Surface()->Fill(0);
        benchmark::ClobberMemory();
      },
      /*clearOnly=*/true);
}
BENCHMARK(BM_FillAgainstMemset)->UseManualTime();

// The ticks between redraws, on the same busy level: "ns" is one tick.
void BM_BusyTickWithoutRedraw(benchmark::State& state) {
  measureBusy(
      state, [](bench::BusyLevel& level) { level.plainTick(); }, false, 100);
}
BENCHMARK(BM_BusyTickWithoutRedraw)->UseManualTime();

}  // namespace
}  // namespace kv
