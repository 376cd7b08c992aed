#include "platform/sdl/sdl_window.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/sdl/window_icon.h"
#include "platform/sdl/x11_window.h"

namespace kv {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

}  // namespace

SdlWindow::~SdlWindow() {
  if (!window_) return;
  SDL_DestroyWindow(window_);
  x11::forgetWindow();
}

bool SdlWindow::create(std::string& error) {
  if (window_) return true;
  // Hidden until it has its icon and its place, so it appears once, as it should be.
  window_ = SDL_CreateWindow("KORVALUNDRIX", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth,
                             kScreenHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) {
    error = std::string("the window cannot be made (") + SDL_GetError() + ")";
    return false;
  }
  setIcon();
  return true;
}

void SdlWindow::show(bool fullScreen) {
  if (!window_) return;
  // Set here: the system's window made anew for the renderer does not keep it.
  SDL_SetWindowMinimumSize(window_, kMinWidth, kMinHeight);
  x11::watchWindow(window_);
  if (fullScreen) setFullScreen(true);
  SDL_ShowWindow(window_);
  if (coveredByHand_) SDL_RaiseWindow(window_);
}

void SdlWindow::setIcon() {
  const WindowIcon icon = windowIcon();
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(icon.rgba), icon.width, icon.height, 32,
                                         icon.width * 4, SDL_PIXELFORMAT_RGBA32);
  if (!s) return;  // a window without its icon is still the game's window
  SDL_SetWindowIcon(window_, s);
  SDL_FreeSurface(s);
}

void SdlWindow::setFullScreen(bool on) {
  if (!window_ || on == fullScreen_) return;
  if (on) {
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) {
      SDL_GetWindowPosition(window_, &windowedX_, &windowedY_);
      SDL_GetWindowSize(window_, &windowedW_, &windowedH_);
      haveWindowedPlace_ = true;
    }
    coveredByHand_ = !x11::windowManagerRuns(window_);
    if (coveredByHand_) {
      SDL_Rect bounds{0, 0, kScreenWidth, kScreenHeight};
      SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window_), 0), &bounds);
      SDL_SetWindowBordered(window_, SDL_FALSE);
      SDL_SetWindowPosition(window_, bounds.x, bounds.y);
      SDL_SetWindowSize(window_, bounds.w, bounds.h);
      if (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) SDL_RaiseWindow(window_);
    } else {
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
  } else {
    if (coveredByHand_) {
      SDL_SetWindowBordered(window_, SDL_TRUE);
    } else {
      SDL_SetWindowFullscreen(window_, 0);
    }
    coveredByHand_ = false;
    SDL_SetWindowSize(window_, windowedW_, windowedH_);
    if (haveWindowedPlace_) {
      SDL_SetWindowPosition(window_, windowedX_, windowedY_);
    } else {
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
  }
  fullScreen_ = on;
}

bool SdlWindow::gone() const {
  return window_ && x11::windowGone();
}

}  // namespace kv
