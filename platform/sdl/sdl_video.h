#pragma once
// The screen through SDL: one window (full screen with the 800x600 screen letterboxed, or a
// resizable window, switched at run time), the presenter that puts the game's 16-bit frames and the
// push buttons into it, and the pacer that holds waiting presents to the display's refresh.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/present_pacer.h"
#include "platform/sdl/screen_presenter.h"
#include "platform/sdl/sdl_window.h"
#include "platform/seam/video_device.h"
#include "platform/support/rgb_image.h"
#include "platform/support/screen_composer.h"
#include "platform/support/stored_frame.h"

namespace kv {

class SdlVideo : public VideoDevice {
 public:
  // SDL's video subsystem must be running.
  SdlVideo(bool windowed, std::unique_ptr<GlyphSource> glyphs);
  ~SdlVideo() override;
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;

  // The rate SDL reports; where it reports none (0 or 1 Hz), the rate measured from presents that
  // wait for the vertical blank (the window is opened for that), 0 when they do not wait steadily.
  int refreshRateHz() override;
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
  void windowExposed();
  void renderTargetsReset(bool deviceReset);
  uint32_t windowId() const;
  bool hasKeyboardFocus() const;
  // Alt+Enter and F11, between the display's finalise and initialise.
  void toggleFullScreen() { window_.setFullScreen(!window_.fullScreen()); }
  bool fullScreen() const { return window_.fullScreen(); }
  // Another program destroyed the window: the event source closes the game.
  bool windowGone() const { return window_.gone(); }

  // What the window shows now (the whole 800x600 screen, drawn afresh), for tests.
  RgbImage readBack();
  const PacerStats& pacerStats() const { return pacer_.stats(); }
  uint64_t pacerPeriodNs() const { return pacer_.periodNs(); }
  const char* rendererName() const { return presenter_ ? presenter_->name() : "none"; }

 private:
  // Makes the window (hidden) and its presenter; false with the reason in error_.
  bool prepareWindow();
  void showWindow();
  int reportedRateHz() const;
  // Presents the current picture a few dozen times waiting for the vertical blank: their rate, or 0.
  int measureRateHz();
  // The pacer's rate for the window's display as it is now; measured again after a change.
  void followDisplay();
  void show(bool vsync, int shows);
  const Frame16* shownFrame();

  bool windowed_;
  std::unique_ptr<GlyphSource> glyphs_;
  SdlWindow window_;  // outlives the presenter, which goes first in the destructor
  std::unique_ptr<ScreenPresenter> presenter_;
  bool shown_ = false;
  bool device_ = false;
  bool lost_ = false;
  bool dirty_ = false;
  bool frameChanged_ = true;
  std::string error_;
  std::vector<ButtonView> buttons_;
  // The last frame shown, kept for repaints, restores and screenshots.
  StoredFrame frame_;
  Frame16 frameView_;
  // The display and mode the pacer's rate belongs to (-1: none yet).
  int pacedDisplay_ = -1;
  bool pacedFullScreen_ = false;
  int measuredHz_ = 0;  // what the last measurement found (0: nothing steady, or not measured)
  SteadyPacerTime pacerTime_;
  PresentPacer pacer_{pacerTime_};
};

}  // namespace kv
