#include "platform/sdl/sdl_backend.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "platform/sdl/quiet_stderr.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_fonts.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/stop_signals.h"
#include "platform/sdl/wayland_seat.h"
#include "platform/sdl/x11_window.h"

namespace kv {

namespace {

// Shuts SDL down when the back end goes, after everything that used it.
struct SdlSession {
  bool started = false;
  SdlSession() = default;
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;
  ~SdlSession() {
    if (started) SDL_Quit();
  }
};

// SIGTERM, SIGINT and SIGHUP ask the game to stop for as long as the back end runs.
struct StopSignalWatch {
  bool on = false;
  StopSignalWatch() = default;
  StopSignalWatch(const StopSignalWatch&) = delete;
  StopSignalWatch& operator=(const StopSignalWatch&) = delete;
  ~StopSignalWatch() {
    if (on) stop_signals::restore();
  }
};

}  // namespace

// Members go in reverse order: the sound card, the sticks, the events and the window before SDL,
// SDL before the signals.
struct SdlBackend::Impl {
  ~Impl() { x11::beforeWindowDestroyed(); }
  StopSignalWatch signals;
  SdlSession sdl;
  std::unique_ptr<SdlVideo> video;
  std::unique_ptr<SdlEvents> events;
  SdlClock clock;
  std::unique_ptr<SdlInput> input;
  SdlAudio audio;
};

SdlBackend::SdlBackend() : impl_(std::make_unique<Impl>()) {}

SdlBackend::~SdlBackend() = default;

bool SdlBackend::init(const SdlOptions& options, std::string& error) {
  if (impl_->video) return true;
  // Whole pixels when the 800x600 screen is scaled up; the first click on the window counts.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Desktops find the installed desktop entry (and so the icon and name) by the window's class.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", KV_APP_ID, 0);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", KV_APP_ID, 0);
  x11::installErrorHandler();
  if (!wayland::avoidSeatlessCompositor(error)) return false;
  // SDL's own handlers for SIGINT and SIGTERM only queue a quit event, which nobody reads while the
  // game pauses (the banner, the intro); ours also cut those pauses short, and catch SIGHUP too.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (!impl_->signals.on) {
    stop_signals::install();
    impl_->signals.on = true;
  }
  int started;
  {
    // Probing for a Wayland compositor that is not there prints to stderr; the reason SDL gives is
    // reported below instead.
    QuietStderr quiet;
    started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  }
  if (started != 0) {
    error = std::string("no display to show the game on (") + SDL_GetError() + ")";
    return false;
  }
  impl_->sdl.started = true;
  // With neither X11 nor Wayland SDL falls back to drawing off screen, where nobody can see the game.
  // That driver (like the dummy one) is only right when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && std::strcmp(driver, "offscreen") == 0 && !(asked && std::strcmp(asked, "offscreen") == 0)) {
    error = "no display to show the game on (no X11 or Wayland display found; is DISPLAY set?)";
    return false;
  }
  if (SDL_GetNumVideoDisplays() < 1) {
    error = std::string("no display to show the game on (") + SDL_GetError() + ")";
    return false;
  }
  // Keys arrive as key events; the text-input machinery (input methods) is of no use here.
  SDL_StopTextInput();
  impl_->video = std::make_unique<SdlVideo>(options.windowed, makeCaptionGlyphs());
  impl_->events = std::make_unique<SdlEvents>(*impl_->video);
  impl_->events->setAudioRemovedHandler([audio = &impl_->audio](uint32_t id) { audio->deviceRemoved(id); });
  impl_->input = std::make_unique<SdlInput>(*impl_->video);
  return true;
}

Platform SdlBackend::platform() {
  if (!impl_->video) throw std::logic_error("the desktop back end was not started");
  return Platform{*impl_->video, *impl_->events, impl_->clock, *impl_->input, impl_->audio};
}

}  // namespace kv
