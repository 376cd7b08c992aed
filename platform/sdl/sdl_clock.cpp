#include "platform/sdl/sdl_clock.h"

#include <SDL2/SDL.h>

#include <chrono>

namespace kv {

uint32_t SdlClock::nowMs() {
  return SDL_GetTicks();
}

void SdlClock::sleepMs(uint32_t ms) {
  SDL_Delay(ms);
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
