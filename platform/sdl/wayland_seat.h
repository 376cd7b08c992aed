#pragma once
// SDL 2.26 crashes in SDL_Init when its Wayland driver meets a compositor that offers no input seat
// (weston's headless back end, for one): it sets the mouse up on a seat that is not there. So before
// SDL starts, the compositor's registry is asked for a wl_seat, whenever SDL would try Wayland.
#include <string>

namespace kv::wayland {

// Whether SDL would start its Wayland driver: the drivers it tries in order are the ones named in
// SDL_VIDEODRIVER (comma-separated) or else X11 then Wayland; X11 is passed over without DISPLAY.
bool sdlWouldTryWayland(const char* namedDrivers, bool haveXDisplay);

// Run before SDL_Init. When SDL would try Wayland and the compositor lists no seat: with DISPLAY set,
// SDL is sent to X11 instead (true); without it, false with the reason in error.
bool avoidSeatlessCompositor(std::string& error);

}  // namespace kv::wayland
