#include "platform/sdl/sdl_clock.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>

#include "platform/sdl/stop_signals.h"

namespace kv {

namespace {

// A pause (the banner's three seconds, the intro's captions) looks for a stop signal this often.
constexpr uint64_t kStopCheckMs = 20;

}  // namespace

uint32_t SdlClock::nowMs() {
  return SDL_GetTicks();
}

void SdlClock::sleepMs(uint32_t ms) {
  // A stop signal ends the pause at once, so the game reaches its event loop and closes.
  const uint64_t end = SDL_GetTicks64() + ms;
  while (!stop_signals::requested()) {
    const uint64_t now = SDL_GetTicks64();
    if (now >= end) break;
    SDL_Delay(static_cast<uint32_t>(std::min(end - now, kStopCheckMs)));
  }
}

uint32_t timeOfDayMs(int64_t epochMs) {
  constexpr int64_t kDayMs = 24 * 60 * 60 * 1000;
  int64_t r = epochMs % kDayMs;
  if (r < 0) r += kDayMs;
  return static_cast<uint32_t>(r);
}

uint32_t SdlClock::seedValue() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return timeOfDayMs(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace kv
