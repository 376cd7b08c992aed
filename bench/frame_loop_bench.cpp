// The game's tick as the frame loop runs it: without a redraw, the ground painting alone, and a
// whole redraw presented to the headless display.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/busy_level.h"
#include "bench/floor.h"
#include "core/form.h"
#include "core/ground_drawing.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"
#include "state/terrain.h"

namespace kv {
namespace {

// A level-1 game in the running state on the headless back end.
struct RunningLevel : HeadlessGame {
  RunningLevel() : HeadlessGame(bench::benchGame()) {
    form->Show();
    game.level = 1;
    form->inicjujplansze();
  }
};

void BM_TickWithoutRedraw(benchmark::State& state) {
  RunningLevel level;
  bench::RatioTimer timer;
  for (auto _ : state) {
    game.redrawTicks = -1000000;  // never due
    game.distance = 0;
    level.form->DXTimer1Timer(level.form->DXTimer1, 1);
  }
  timer.report(state);
}
BENCHMARK(BM_TickWithoutRedraw);

void BM_DrawGround(benchmark::State& state) {
  RunningLevel level;
  TDirectDrawSurface& surface = *level.form->DXDraw1.Surface();
  for (auto _ : state) {
    LockSurface(surface);
    drawGround();
    UnlockSurface();
  }
}
BENCHMARK(BM_DrawGround);

void BM_TickWithRedrawAndPresent(benchmark::State& state) {
  RunningLevel level;
  for (auto _ : state) {
    game.redrawTicks = game.speed;  // due now
    game.distance = 0;
    level.form->DXTimer1Timer(level.form->DXTimer1, 1);
  }
}
BENCHMARK(BM_TickWithRedrawAndPresent);

}  // namespace
}  // namespace kv
