#pragma once
// A display without a window: it keeps the last presented frame, advances virtual time as a real
// display would make the program wait, and can be told to refuse modes or lose its surfaces.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/seam/video_device.h"
#include "platform/support/screen_composer.h"
#include "platform/support/stored_frame.h"

namespace kv {

class VirtualClock;

class VirtualDisplay : public VideoDevice {
 public:
  // refreshHz is what the display reports; 0 or 1 means it cannot tell (it then paces at 75 Hz).
  VirtualDisplay(VirtualClock& clock, int refreshHz);
  ~VirtualDisplay() override;

  int refreshRateHz() override { return refreshHz_; }
  bool openWindow() override;
  bool createDevice() override;
  void releaseDevice() override;
  std::vector<DisplayModeDesc> modes() const override { return modes_; }
  bool setMode(const DisplayModeDesc& mode) override;
  PixelLayout pixelLayout() const override { return layout_; }
  bool surfacesLost() const override { return lost_; }
  bool restoreSurfaces() override;
  void present(const Frame16& frame, int vblanks) override;
  void waitForVBlank(int vblanks) override;
  void setButtons(const std::vector<ButtonView>& buttons) override { buttons_ = buttons; }
  void repaint() override {}
  bool saveScreenshot(const std::string& path) override;
  std::string error() const override { return error_; }

  // Test controls.
  void setModes(std::vector<DisplayModeDesc> modes) { modes_ = std::move(modes); }
  void refuseMode(const DisplayModeDesc& mode) { refused_.push_back(mode); }
  void setPixelLayout(PixelLayout layout) { layout_ = layout; }
  void loseSurfaces() { lost_ = true; }
  void setRestoreFails(bool fails) { restoreFails_ = fails; }
  void setCreateFails(bool fails) { createFails_ = fails; }

  // What was shown.
  int presentCount() const { return presents_; }
  int waitedPresentCount() const { return waitedPresents_; }
  int vblankCount() const { return vblanks_; }
  bool deviceExists() const { return device_; }
  const DisplayModeDesc& currentMode() const { return mode_; }
  const std::vector<uint16_t>& lastFrame() const { return frame_.pixels(); }
  int lastFrameWidth() const { return frame_.width(); }
  int lastFrameHeight() const { return frame_.height(); }
  PixelLayout lastFrameLayout() const { return frame_.layout(); }
  const std::vector<ButtonView>& buttons() const { return buttons_; }
  // The screen as the player would see it.
  RgbImage screen() const;
  // Nanoseconds between vertical blanks.
  uint64_t pacingPeriodNs() const;

 private:
  void waitBlanks(int vblanks);

 public:
 private:
  VirtualClock& clock_;
  int refreshHz_;
  std::vector<DisplayModeDesc> modes_;
  std::vector<DisplayModeDesc> refused_;
  DisplayModeDesc mode_{};
  PixelLayout layout_ = PixelLayout::Rgb565;
  bool window_ = false;
  bool device_ = false;
  bool lost_ = false;
  bool restoreFails_ = false;
  bool createFails_ = false;
  std::string error_;
  std::vector<ButtonView> buttons_;
  StoredFrame frame_;
  int presents_ = 0, waitedPresents_ = 0, vblanks_ = 0;
  std::unique_ptr<GlyphSource> glyphs_;
};

}  // namespace kv
