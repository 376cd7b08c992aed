#include <benchmark/benchmark.h>

#include <vector>

#include "actors/image_sprite.h"
#include "actors/sprite_engine.h"
#include "gfx/dd_surface.h"

namespace kv {
namespace {

// An actor-like sprite: animates, drifts, and (like rocks and saucers) may scan on every move.
// Drawing costs nothing here, so the figure is the engine's own work.
class BenchSprite : public TImageSprite {
 public:
  BenchSprite(TSprite* parent, double x, double y, int32_t w, int32_t h, bool scans)
      : TImageSprite(parent), scans_(scans) {
    X = x;
    Y = y;
    Width = w;
    Height = h;
  }
  int32_t hits = 0;

 protected:
  void DoMove(int32_t moveCount) override {
    TImageSprite::DoMove(moveCount);
    X += 1.5;
    if (X > 800) X = -80;
    if (scans_) Collision();
  }
  void DoDraw() override {}
  void DoCollision(TSprite*, bool&) override { ++hits; }

 private:
  bool scans_;
};

// One level's worth of actors: body, 6 wheels, 2 shots, 5 trees, 5 saucers, the bomb and 20 rocks.
void buildLevel(TSpriteEngine& engine) {
  auto* body = new BenchSprite(&engine, 400, 517, 83, 23, false);
  body->AnimCount = 7;
  body->AnimLooped = true;
  body->AnimSpeed = 0.18;
  for (int i = 1; i <= 6; ++i) new BenchSprite(&engine, 12 * i + 390, 537, 15, 14, false);
  new BenchSprite(&engine, 380, 521, 20, 8, false);
  new BenchSprite(&engine, 410, 300, 6, 16, false);
  for (int i = 0; i < 5; ++i) new BenchSprite(&engine, 160 * i, 300, 166, 330, false);
  for (int i = 0; i < 5; ++i) {
    auto* ufo = new BenchSprite(&engine, 150 * i, 40, 83, 27, true);
    ufo->AnimCount = 7;
    ufo->AnimLooped = true;
    ufo->AnimSpeed = 0.23;
  }
  new BenchSprite(&engine, 341, 40, 11, 22, false);
  for (int i = 0; i < 20; ++i) new BenchSprite(&engine, 40 * i, 513, 35, 40, true);
}

void BM_SpriteMoveAndDraw(benchmark::State& state) {
  TDirectDrawSurface surface;
  surface.Create(800, 566, PixelLayout::Rgb565);
  TSpriteEngine engine(nullptr);
  engine.SetSurface(&surface);
  buildLevel(engine);
  for (auto _ : state) {
    engine.Move(1);
    engine.Draw();
  }
  state.counters["sprites"] = engine.SpriteCount();
  benchmark::DoNotOptimize(engine.DrawCount());
}
BENCHMARK(BM_SpriteMoveAndDraw);

}  // namespace
}  // namespace kv
