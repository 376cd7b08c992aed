#include "platform/sdl/wayland_seat.h"

#include <SDL2/SDL.h>
#include <wayland-client.h>

#include <cstring>
#include <string_view>

#include "platform/sdl/quiet_stderr.h"

namespace kv::wayland {

namespace {

enum class Seat { NoCompositor, Offered, Missing };

void onGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  if (std::strcmp(interface, "wl_seat") == 0) *static_cast<bool*>(data) = true;
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener{onGlobal, onGlobalRemove};

// Connects as SDL would (WAYLAND_DISPLAY, else wayland-0 in XDG_RUNTIME_DIR) and reads the globals
// the compositor announces; they all come before the answer to one round trip.
Seat askCompositor() {
  QuietStderr quiet;  // the client library complains on stderr when there is no compositor
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return Seat::NoCompositor;
  bool seat = false;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &seat);
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  if (!answered) return Seat::NoCompositor;  // SDL's own connection fails the same way
  return seat ? Seat::Offered : Seat::Missing;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && SDL_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

bool sdlWouldTryWayland(const char* namedDrivers, bool haveXDisplay) {
  std::string_view list = namedDrivers && *namedDrivers ? namedDrivers : "x11,wayland";
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (sameName(name, "wayland")) return true;
    if (sameName(name, "x11") && !haveXDisplay) continue;  // fails at once, the next one is tried
    if (!name.empty()) return false;                       // that driver is taken
  }
  return false;
}

bool avoidSeatlessCompositor(std::string& error) {
  const char* display = SDL_getenv("DISPLAY");
  const bool haveX = display && *display;
  if (!sdlWouldTryWayland(SDL_GetHint(SDL_HINT_VIDEODRIVER), haveX)) return true;
  if (askCompositor() != Seat::Missing) return true;
  if (haveX) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
    return true;
  }
  error =
      "no display to show the game on (the Wayland compositor offers no input seat, and there is "
      "no X server: DISPLAY is not set)";
  return false;
}

}  // namespace kv::wayland
