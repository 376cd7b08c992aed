#include "platform/sdl/x11_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <atomic>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace kv::x11 {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

struct Watch {
  Display* display = nullptr;
  Window window = 0;
  bool installed = false;
  XErrorHandler previous = nullptr;  // normally Xlib's own, which prints the error and ends the program
  std::atomic<bool> gone{false};
};
Watch watch;

// A missing window or drawable that is ours means another program destroyed it; once it is gone,
// no error matters any more (the renderer may still draw into it until the game has closed).
// Everything else goes on to the handler that was there before, Xlib's own, which ends the program
// (SDL's handler sits above this one and has restored the desktop's mode by then).
int onXError(Display* display, XErrorEvent* error) {
  const bool missing = error->error_code == BadWindow || error->error_code == BadDrawable;
  if (watch.window != 0 && (watch.gone || (missing && error->resourceid == watch.window))) {
    watch.gone = true;
    return 0;
  }
  return watch.previous ? watch.previous(display, error) : 0;
}

bool x11Info(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

int ignoreXError(Display*, XErrorEvent*) {
  return 0;
}

// The window a property names, or 0.
Window windowProperty(Display* display, Window of, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window result = 0;
  if (XGetWindowProperty(display, of, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                         &data) == Success &&
      type == XA_WINDOW && format == 32 && count == 1 && data) {
    result = *reinterpret_cast<Window*>(data);
  }
  if (data) XFree(data);
  return result;
}

}  // namespace

void installErrorHandler() {
  if (watch.installed) return;
  watch.installed = true;
  watch.previous = XSetErrorHandler(onXError);
}

void watchWindow(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!x11Info(window, info)) return;
  installErrorHandler();  // already in place when the back end started SDL
  watch.display = info.info.x11.display;
  watch.window = info.info.x11.window;
  watch.gone = false;
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void beforeWindowDestroyed() {
  if (!watch.display || watch.window == 0) return;
  // Its DestroyNotify may still wait in the queue (a game told to stop reads no more events): ask.
  XWindowAttributes attributes;
  if (!watch.gone && !XGetWindowAttributes(watch.display, watch.window, &attributes)) watch.gone = true;
  if (!watch.gone) return;
  XEvent unmapped{};
  unmapped.xunmap.type = UnmapNotify;
  unmapped.xunmap.display = watch.display;
  unmapped.xunmap.event = watch.window;
  unmapped.xunmap.window = watch.window;
  XPutBackEvent(watch.display, &unmapped);
}

void forgetWindow() {
  if (!watch.display) return;
  XSync(watch.display, False);
  // A window that was destroyed from outside may still draw errors on SDL's other connection (its
  // wake-up messages go to the window) until SDL closes it: those stay ignored.
  if (!watch.gone) watch.window = 0;
}

bool windowGone() {
  return watch.gone;
}

bool windowManagerRuns(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!x11Info(window, info)) return true;
  Display* display = info.info.x11.display;
  // The manager names a window of its own on the root window and on that window itself; a name
  // left over from a manager that quit points at nothing (the error that makes is ignored).
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  XSync(display, False);
  XErrorHandler before = XSetErrorHandler(ignoreXError);
  const Window manager = windowProperty(display, DefaultRootWindow(display), check);
  const bool runs = manager != 0 && windowProperty(display, manager, check) == manager;
  XSync(display, False);
  XSetErrorHandler(before);
  return runs;
}

void noteSystemEvent(const SDL_Event& event) {
  const SDL_SysWMmsg* msg = event.type == SDL_SYSWMEVENT ? event.syswm.msg : nullptr;
  if (!msg || msg->subsystem != SDL_SYSWM_X11 || watch.window == 0) return;
  const XEvent& x = msg->msg.x11.event;
  if (x.type == DestroyNotify && x.xdestroywindow.window == watch.window) watch.gone = true;
}

#else

void installErrorHandler() {}
void watchWindow(SDL_Window*) {}
void beforeWindowDestroyed() {}
void forgetWindow() {}
bool windowGone() {
  return false;
}
bool windowManagerRuns(SDL_Window*) {
  return true;
}
void noteSystemEvent(const SDL_Event&) {}

#endif

}  // namespace kv::x11
