#include <benchmark/benchmark.h>

#include "gfx/dd_surface.h"
#include "gfx/turbopixels.h"

namespace kv {
namespace {

void BM_VerticalGroundLines(benchmark::State& state) {
  TDirectDrawSurface s;
  s.Create(800, 566, PixelLayout::Rgb565);
  for (auto _ : state) {
    LockSurface(s);
    for (int x = 1; x <= 801; ++x) DrawLine(x, 600, x, 500 + (x % 64), 94, 86, 3);
    UnlockSurface();
  }
  benchmark::DoNotOptimize(s.Pixel(10, 560));
}
BENCHMARK(BM_VerticalGroundLines);

}  // namespace
}  // namespace kv
