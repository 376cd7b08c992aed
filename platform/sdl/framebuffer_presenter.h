#pragma once
// The screen drawn by our own scaler straight into the window's framebuffer (SDL's window surface,
// on X11 a shared-memory image), in the window's own pixel format, and only the bands that changed
// sent to the display. The pointer's window coordinates are mapped to the game's screen here too,
// as an SDL renderer's logical size would do.
#include <memory>
#include <vector>

#include "platform/sdl/screen_presenter.h"
#include "platform/sdl/screen_scaler.h"
#include "platform/support/screen_composer.h"

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

namespace kv {

class FramebufferPresenter : public ScreenPresenter {
 public:
  // Null when the window has no framebuffer in a 32-bit 8:8:8 format.
  static std::unique_ptr<FramebufferPresenter> create(SDL_Window* window, GlyphSource& glyphs);
  ~FramebufferPresenter() override;
  FramebufferPresenter(const FramebufferPresenter&) = delete;
  FramebufferPresenter& operator=(const FramebufferPresenter&) = delete;

  void show(const Frame16* frame, bool frameChanged, const std::vector<ButtonView>& buttons, bool vsync,
            int shows) override;
  bool canWaitForVBlank() const override { return false; }
  void invalidate() override { scaler_.invalidate(); }
  void targetsReset(bool) override { scaler_.invalidate(); }
  bool restore() override {
    scaler_.invalidate();
    return true;
  }
  RgbImage readBack(const Frame16* frame, const std::vector<ButtonView>& buttons) override;
  const char* name() const override { return "window framebuffer"; }

 private:
  FramebufferPresenter(SDL_Window* window, GlyphSource& glyphs);
  // The window's surface, with the scaler aimed at it; null when there is none now.
  SDL_Surface* surface();
  const std::vector<ScreenOverlay>& overlays(const std::vector<ButtonView>& buttons);
  static int mapPointer(void* self, SDL_Event* event);

  struct Picture {
    ButtonView look;  // position ignored
    std::vector<uint32_t> pixels;
    uint64_t id;  // new for every picture painted, so the scaler knows a look from another
  };
  SDL_Window* window_;
  GlyphSource& glyphs_;
  ScreenScaler scaler_;
  std::vector<Picture> pictures_;  // the buttons' looks on screen, in the window's layout
  std::vector<ScreenOverlay> overlays_;
  Rgb32Layout picturesLayout_;
  uint64_t nextPictureId_ = 1;
};

}  // namespace kv
