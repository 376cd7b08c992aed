#include <benchmark/benchmark.h>

#include "assets/catalogue.h"
#include "gfx/dd_surface.h"
#include "gfx/dxdraw.h"
#include "gfx/image_list.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace kv {
namespace {

// The game's pictures on an initialised 800x566 display.
struct Pictures {
  Pictures() {
    draw.SetBounds(0, 0, 800, 566);
    draw.Initialize();
    loadImages(list);
    list.SetDXDraw(&draw);
  }
  VirtualClock clock;
  VirtualDisplay video{clock, 60};
  TDXDraw draw{video};
  TDXImageList list;
};

void drawPattern(benchmark::State& state, int entry, int pattern) {
  Pictures p;
  TPictureCollectionItem& item = p.list.Items()[entry];
  TDirectDrawSurface* surface = p.draw.Surface();
  int32_t x = 0;
  for (auto _ : state) {
    item.Draw(surface, 100 + x, 100, pattern);
    x = (x + 1) & 63;
  }
  const TRect r = item.PatternRect(pattern);
  state.SetItemsProcessed(state.iterations() * r.width() * r.height());  // pixels
  benchmark::DoNotOptimize(surface->Pixel(110, 110));
}

// A font glyph: 22x22 with the colour key.
void BM_DrawFontGlyphKeyed(benchmark::State& state) {
  drawPattern(state, 2, 31);
}
BENCHMARK(BM_DrawFontGlyphKeyed);

// The tree: 166x330 with the colour key.
void BM_DrawTreeKeyed(benchmark::State& state) {
  drawPattern(state, 5, 0);
}
BENCHMARK(BM_DrawTreeKeyed);

// A glyph partly off the left edge: the clipping path.
void BM_DrawFontGlyphClipped(benchmark::State& state) {
  Pictures p;
  TPictureCollectionItem& item = p.list.Items()[2];
  TDirectDrawSurface* surface = p.draw.Surface();
  for (auto _ : state) item.Draw(surface, -11, -5, 31);
  benchmark::DoNotOptimize(surface->Pixel(5, 5));
}
BENCHMARK(BM_DrawFontGlyphClipped);

}  // namespace
}  // namespace kv
