#pragma once
// The game's one window: made with the game's icon and a minimum size, switched between full screen
// and a resizable window. Full screen covers the whole screen with or without a window manager:
// where none runs on X11 (desktop full screen would leave the window at its old size there), the
// window drops its border and covers the screen's bounds itself.
#include <string>

struct SDL_Window;

namespace kv {

class SdlWindow {
 public:
  // The game's own screen: scaled down with whole pixels, the one-pixel strokes of the captions and
  // the HUD lose rows and columns (at 640x480 the digits on the level buttons already break up).
  static constexpr int kMinWidth = 800;
  static constexpr int kMinHeight = 600;

  SdlWindow() = default;
  ~SdlWindow();
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  // Makes the window, hidden; false with SDL's reason in error.
  bool create(std::string& error);
  // Shows it, 800x600 or full screen, once its renderer exists (making an OpenGL renderer makes the
  // system's window anew).
  void show(bool fullScreen);
  SDL_Window* get() const { return window_; }

  bool fullScreen() const { return fullScreen_; }
  // Switches; a window comes back where and as large as it was before full screen.
  void setFullScreen(bool on);
  // True once another program destroyed the window (X11): the game then closes as on a close.
  bool gone() const;

 private:
  void setIcon();

  SDL_Window* window_ = nullptr;
  bool fullScreen_ = false;
  bool coveredByHand_ = false;
  bool haveWindowedPlace_ = false;
  int windowedX_ = 0, windowedY_ = 0, windowedW_ = 800, windowedH_ = 600;
};

}  // namespace kv
