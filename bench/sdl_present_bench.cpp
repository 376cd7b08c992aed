// One present of the desktop back end: the game's 16-bit frame uploaded to the streaming texture,
// scaled to the window and shown with the push buttons on top, without waiting for the vertical
// blank. SDL picks its video driver as the game does (run it under Xvfb, or with
// SDL_VIDEODRIVER=dummy for the software renderer alone). "ns" is the CPU time of one present in
// this thread, "wall_ns" its wall-clock time, which includes the work of the X server's side.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/floor.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_video.h"
#include "platform/seam/button_view.h"

namespace kv {
namespace {

// One back end for the whole run: the benchmark's function runs more than once, and SDL's X11
// driver does not come back after a shutdown within the same process.
SdlBackend* sharedBackend(std::string& error) {
  static std::unique_ptr<SdlBackend> backend;
  static std::string initError;
  if (!backend && initError.empty()) {
    backend = std::make_unique<SdlBackend>();
    if (!backend->init(SdlOptions{true}, initError)) backend.reset();
  }
  error = initError;
  return backend.get();
}

void BM_SdlPresent(benchmark::State& state) {
  std::string error;
  SdlBackend* backend = sharedBackend(error);
  if (!backend) {
    state.SkipWithError(("no SDL display: " + error).c_str());
    return;
  }
  VideoDevice& video = backend->platform().video;
  if (!video.openWindow() || !video.createDevice()) {
    state.SkipWithError(video.error().c_str());
    return;
  }
  video.setButtons({ButtonView{10, 10, 120, 40, "Play"}, ButtonView{10, 60, 120, 40, "Exit"}});
  // A frame of the game's size with varied pixels, shared as the drawing surface offers it.
  auto pixels = std::make_shared<std::vector<uint16_t>>(800 * 566);
  std::mt19937 rng(5);
  for (uint16_t& p : *pixels) p = static_cast<uint16_t>(rng());
  Frame16 frame{pixels->data(), 800, 566, 800, PixelLayout::Rgb565, pixels};
  video.present(frame, 0);  // the textures and the buttons' captions are made once, before timing

  double cpu = 0, wall = 0;
  for (auto _ : state) {
    (*pixels)[rng() % pixels->size()] ^= 1;  // a frame that changed, as every frame of a level does
    const double c0 = bench::cpuNs();
    const auto w0 = std::chrono::steady_clock::now();
    video.present(frame, 0);
    const auto w1 = std::chrono::steady_clock::now();
    const double c1 = bench::cpuNs();
    cpu += c1 - c0;
    wall += std::chrono::duration<double, std::nano>(w1 - w0).count();
    state.SetIterationTime((c1 - c0) * 1e-9);
  }
  const auto n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["ns"] = cpu / n;
  state.counters["wall_ns"] = wall / n;
  state.SetLabel(dynamic_cast<SdlVideo&>(video).rendererName());
}
BENCHMARK(BM_SdlPresent)->UseManualTime();

}  // namespace
}  // namespace kv
