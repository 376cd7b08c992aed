// One present of the desktop back end in a window of 800x600, 1920x1080 and 2560x1440 (the sizes of
// full screen on those screens): the game's 16-bit frame scaled to the window and shown with the
// push buttons on top, without waiting for the vertical blank. Every row of the frame changes between
// presents, the worst a level does. SDL picks its video driver and the game its way of presenting as
// in the game (run it under Xvfb on a screen of at least 2560x1440, or with SDL_VIDEODRIVER=dummy).
// "ns" is the CPU time of one present in this thread, "wall_ns" its wall-clock time, which includes
// waiting for the X server to take the picture.
#include <SDL2/SDL.h>
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
  // The window at the size asked for, once SDL has seen it change.
  SdlVideo& sdl = dynamic_cast<SdlVideo&>(video);
  SDL_Window* window = SDL_GetWindowFromID(sdl.windowId());
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  SDL_SetWindowSize(window, width, height);
  for (int i = 0; i < 200; ++i) {
    SDL_PumpEvents();
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w == width && h == height) break;
    SDL_Delay(10);
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
    for (size_t row = 0; row < 566; ++row) (*pixels)[row * 800 + rng() % 800] ^= 1;
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
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  state.SetLabel(std::string(sdl.rendererName()) + " " + std::to_string(w) + "x" + std::to_string(h));
}
BENCHMARK(BM_SdlPresent)->UseManualTime()->Args({800, 600})->Args({1920, 1080})->Args({2560, 1440});

}  // namespace
}  // namespace kv
