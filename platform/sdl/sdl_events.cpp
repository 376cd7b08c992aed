#include "platform/sdl/sdl_events.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/stop_signals.h"
#include "platform/sdl/x11_window.h"

namespace kv {

namespace {

// How long the wait for an event sleeps at most before it looks for a stop signal again: a signal
// may land on any of the program's threads, so it does not always wake the wait itself.
constexpr int kStopCheckMs = 100;

}  // namespace

PointerPlace placePointer(int x, int y, int screenWidth, int screenHeight) {
  PointerPlace p;
  p.inside = x >= 0 && y >= 0 && x < screenWidth && y < screenHeight;
  p.x = std::clamp(x, 0, screenWidth - 1);
  p.y = std::clamp(y, 0, screenHeight - 1);
  return p;
}

bool PointerMotionFilter::moved(int x, int y) {
  const bool changed = x != x_ || y != y_;
  x_ = x;
  y_ = y;
  if (arriving_) {
    arriving_ = false;
    return false;
  }
  return changed;
}

SdlEvents::SdlEvents(SdlVideo& video) : video_(video), pending_(std::make_unique<SDL_Event>()) {}

SdlEvents::~SdlEvents() = default;

bool SdlEvents::poll(Event& out) {
  if (stopSignalled(out)) return true;
  if (switchPending_) {
    // The display has let go of its device: switch, then let it build the device again, as at the
    // end of an interactive size change.
    switchPending_ = false;
    video_.toggleFullScreen();
    out = Event{};
    out.kind = Event::Kind::SizeEnd;
    return true;
  }
  if (windowLost(out)) return true;
  if (havePending_) {
    havePending_ = false;
    if (translate(*pending_, out) || windowLost(out)) return true;
  }
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (translate(e, out) || windowLost(out)) return true;
  }
  return false;
}

void SdlEvents::waitForEvent() {
  if (havePending_ || switchPending_ || (video_.windowGone() && !lossReported_)) return;
  if (stop_signals::requested() && !stopReported_) return;
  if (SDL_WaitEventTimeout(pending_.get(), kStopCheckMs)) havePending_ = true;
}

bool SdlEvents::stopSignalled(Event& out) {
  if (stopReported_ || !stop_signals::requested()) return false;
  stopReported_ = true;
  out = Event{};
  out.kind = Event::Kind::Quit;
  return true;
}

void SdlEvents::keepMinimumSize(int width, int height) {
  if (width >= SdlWindow::kMinWidth && height >= SdlWindow::kMinHeight) return;
  SDL_Window* window = SDL_GetWindowFromID(video_.windowId());
  // Full screen covers the screen, whatever its size; a window manager keeps the minimum itself, or
  // has its reasons not to (a tiling one).
  if (!window || video_.fullScreen() || x11::windowManagerRuns(window)) return;
  SDL_SetWindowSize(window, std::max(width, SdlWindow::kMinWidth), std::max(height, SdlWindow::kMinHeight));
}

bool SdlEvents::windowLost(Event& out) {
  if (lossReported_ || !video_.windowGone()) return false;
  lossReported_ = true;
  out = Event{};
  out.kind = Event::Kind::Quit;
  return true;
}

bool SdlEvents::translateKey(const SDL_Event& e, Event& out) {
  // A held key repeats as further key-downs, as the game's key handler expects.
  const int vk = virtualKeyFor(e.key.keysym.scancode, e.key.keysym.sym);
  if (vk == 0) return false;
  if (e.type == SDL_KEYUP) {
    if (windowKeys_.release(vk)) return false;
    out.kind = Event::Kind::KeyUp;
    out.vk = vk;
    return true;
  }
  switch (windowKeys_.press(vk, (e.key.keysym.mod & KMOD_ALT) != 0)) {
    case WindowKeys::Action::None:
      out.kind = Event::Kind::KeyDown;
      out.vk = vk;
      return true;
    case WindowKeys::Action::Swallow:
      return false;
    case WindowKeys::Action::ToggleFullScreen:
      switchPending_ = true;
      out.kind = Event::Kind::SizeStart;
      return true;
    case WindowKeys::Action::Close:
      out.kind = Event::Kind::Quit;
      return true;
  }
  return false;
}

bool SdlEvents::translate(const SDL_Event& e, Event& out) {
  out = Event{};
  switch (e.type) {
    case SDL_QUIT:
      out.kind = Event::Kind::Quit;
      return true;
    case SDL_MOUSEMOTION: {
      const PointerPlace p = placePointer(e.motion.x, e.motion.y);
      if (!p.inside || !motion_.moved(p.x, p.y)) return false;
      out.kind = Event::Kind::MouseMove;
      out.x = p.x;
      out.y = p.y;
      return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (e.button.button != SDL_BUTTON_LEFT) return false;
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      const PointerPlace p = placePointer(e.button.x, e.button.y);
      if (down && !p.inside) return false;
      out.kind = down ? Event::Kind::MouseDown : Event::Kind::MouseUp;
      out.x = p.x;
      out.y = p.y;
      return true;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return translateKey(e, out);
    case SDL_SYSWMEVENT:
      x11::noteSystemEvent(e);
      return false;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      video_.renderTargetsReset(e.type == SDL_RENDER_DEVICE_RESET);
      return false;
    case SDL_AUDIODEVICEREMOVED:
      if (!e.adevice.iscapture && audioRemoved_) audioRemoved_(e.adevice.which);
      return false;
    case SDL_WINDOWEVENT:
      break;
    default:
      return false;
  }
  if (e.window.windowID != video_.windowId()) return false;
  switch (e.window.event) {
    case SDL_WINDOWEVENT_RESIZED:
      keepMinimumSize(e.window.data1, e.window.data2);
      return false;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      video_.windowExposed();
      out.kind = Event::Kind::Expose;
      return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      out.kind = Event::Kind::Activate;
      return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      out.kind = Event::Kind::Deactivate;
      return true;
    case SDL_WINDOWEVENT_MINIMIZED:
      if (minimized_) return false;
      minimized_ = true;
      out.kind = Event::Kind::Minimize;
      return true;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SHOWN:
      // Only a window that was minimised comes back; restoring from maximised changes nothing.
      if (!minimized_) return false;
      minimized_ = false;
      video_.windowExposed();
      out.kind = Event::Kind::Restore;
      return true;
    case SDL_WINDOWEVENT_CLOSE:
      out.kind = Event::Kind::Quit;
      return true;
    case SDL_WINDOWEVENT_ENTER:
      motion_.arrive();
      return false;
    default:
      return false;
  }
}

}  // namespace kv
