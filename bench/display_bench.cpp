// The per-frame work of the display and the pixel layer: the ground columns through DrawLine, the
// fill that clears the surface, and the flip to the headless display. Each benchmark also counts
// heap allocations per iteration ("allocs"); the drawing path must make none.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "gfx/dd_surface.h"
#include "gfx/dxdraw.h"
#include "gfx/turbopixels.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace {
std::atomic<long long> allocations{0};
}  // namespace

// Counts every allocation of the program (the benchmarks read the count around their loops). Both
// sides are replaced, so the pairing of malloc'd memory with free below is right; GCC cannot see
// that once the replacements are inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace kv {
namespace {

constexpr int kColumns = 801;  // the frame loop draws columns 0 to 800

// The ground's top edge near y 550, wandering a little as the terrain does.
int groundTop(int column) {
  return 545 + (column * 7) % 11;
}

void countAllocations(benchmark::State& state, long long before) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations.load() - before),
                                                benchmark::Counter::kAvgIterations);
}

// One frame of ground: one lock, 801 columns from below the surface up to the ground, one unlock.
void BM_GroundFrame(benchmark::State& state) {
  TDirectDrawSurface s;
  s.Create(800, 566, PixelLayout::Rgb565);
  const long long before = allocations.load();
  for (auto _ : state) {
    LockSurface(s);
    for (int i = 0; i < kColumns; ++i) DrawLine(i, 600, i, groundTop(i), 94, 86, 3);
    UnlockSurface();
    benchmark::ClobberMemory();
  }
  countAllocations(state, before);
  state.counters["lines/s"] =
      benchmark::Counter(static_cast<double>(kColumns), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GroundFrame);

// The worst the ground gets: every column reaching half-way up the screen (266 visible pixels).
void BM_GroundFrameTall(benchmark::State& state) {
  TDirectDrawSurface s;
  s.Create(800, 566, PixelLayout::Rgb565);
  const long long before = allocations.load();
  for (auto _ : state) {
    LockSurface(s);
    for (int i = 0; i < kColumns; ++i) DrawLine(i, 600, i, 300, 94, 86, 3);
    UnlockSurface();
    benchmark::ClobberMemory();
  }
  countAllocations(state, before);
}
BENCHMARK(BM_GroundFrameTall);

void BM_Fill0(benchmark::State& state) {
  TDirectDrawSurface s;
  s.Create(800, 566, PixelLayout::Rgb565);
  const long long before = allocations.load();
  for (auto _ : state) {
    s.Fill(0);
    benchmark::ClobberMemory();
  }
  countAllocations(state, before);
  state.SetBytesProcessed(state.iterations() * 800 * 566 * 2);
}
BENCHMARK(BM_Fill0);

// The game's display, initialised on the headless back end.
struct HeadlessDisplay {
  VirtualClock clock;
  VirtualDisplay video{clock, 60};
  TDXDraw draw{video};
  explicit HeadlessDisplay(bool waitVBlank) {
    draw.SetBounds(0, 0, 800, 566);
    draw.Display.Width = 800;
    draw.Display.Height = 600;
    draw.SetOptions(doFullScreen | doAllowReboot | doDirectX7Mode | doHardware | doSelectDriver);
    draw.Initialize();
    if (waitVBlank) draw.SetOptions(draw.Options() | doWaitVBlank);
    draw.Flip();  // the display keeps its copy of the frame from the first present on
  }
};

void BM_Flip(benchmark::State& state) {
  HeadlessDisplay d(state.range(0) != 0);
  const long long before = allocations.load();
  for (auto _ : state) d.draw.Flip();
  countAllocations(state, before);
}
BENCHMARK(BM_Flip)->ArgName("waitVBlank")->Arg(0)->Arg(1);

// A whole redraw as the frame loop does it, without the sprites and the text.
void BM_RedrawFrame(benchmark::State& state) {
  HeadlessDisplay d(true);
  const long long before = allocations.load();
  for (auto _ : state) {
    TDirectDrawSurface& s = *d.draw.Surface();
    s.Fill(0);
    LockSurface(s);
    for (int i = 0; i < kColumns; ++i) {
      PutPixel(i + 1, (i * 13) % 400, 0xFFFFFF);
      DrawLine(i, 600, i, groundTop(i), 94, 86, 3);
    }
    UnlockSurface();
    d.draw.Flip();
  }
  countAllocations(state, before);
}
BENCHMARK(BM_RedrawFrame);

}  // namespace
}  // namespace kv
