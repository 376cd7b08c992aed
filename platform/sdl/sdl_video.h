#pragma once
// The screen through SDL: one window (full screen with an 800x600 logical size, or a resizable
// window, switched at run time), its renderer, a 16-bit streaming texture for the game's frames and the push
// buttons drawn on top.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/present_pacer.h"
#include "platform/sdl/sdl_button_layer.h"
#include "platform/sdl/sdl_window.h"
#include "platform/seam/video_device.h"
#include "platform/support/rgb_image.h"
#include "platform/support/stored_frame.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace kv {

class SdlVideo : public VideoDevice {
 public:
  // SDL's video subsystem must be running.
  SdlVideo(bool windowed, std::unique_ptr<GlyphSource> glyphs);
  ~SdlVideo() override;
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;

  int refreshRateHz() const override;
  bool openWindow() override;
  bool createDevice() override;
  void releaseDevice() override;
  std::vector<DisplayModeDesc> modes() const override;
  bool setMode(const DisplayModeDesc& mode) override;
  PixelLayout pixelLayout() const override { return PixelLayout::Rgb565; }
  bool surfacesLost() const override { return lost_; }
  bool restoreSurfaces() override;
  void present(const Frame16& frame, int vblanks) override;
  void waitForVBlank(int vblanks) override;
  void setButtons(const std::vector<ButtonView>& buttons) override;
  void repaint() override;
  bool saveScreenshot(const std::string& path) override;
  std::string error() const override { return error_; }

  // The event source reports what happened to the window and the renderer.
  void windowExposed() { dirty_ = true; }
  void renderTargetsReset(bool deviceReset);
  uint32_t windowId() const;
  bool hasKeyboardFocus() const;
  // Alt+Enter and F11, between the display's finalise and initialise.
  void toggleFullScreen() { window_.setFullScreen(!window_.fullScreen()); }
  bool fullScreen() const { return window_.fullScreen(); }
  // Another program destroyed the window: the event source closes the game.
  bool windowGone() const { return window_.gone(); }

  // What the renderer holds now (the whole logical screen, drawn afresh), for tests.
  RgbImage readBack();
  const PacerStats& pacerStats() const { return pacer_.stats(); }
  const char* rendererName() const;

 private:
  bool makeTexture(int width, int height, PixelLayout layout);
  void dropTexture();
  void uploadFrame();
  void drawScene();
  void setVsync(bool on);

  bool windowed_;
  std::unique_ptr<GlyphSource> glyphs_;
  SdlWindow window_;  // outlives the renderer, which goes first in the destructor
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0, textureHeight_ = 0;
  PixelLayout textureLayout_ = PixelLayout::Rgb565;
  bool device_ = false;
  bool lost_ = false;
  bool dirty_ = false;
  bool vsync_ = false;
  std::string error_;
  SdlButtonLayer buttons_;
  // The last frame shown, kept for repaints, restores and screenshots.
  StoredFrame frame_;
  SteadyPacerTime pacerTime_;
  PresentPacer pacer_{pacerTime_};
};

}  // namespace kv
