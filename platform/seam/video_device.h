#pragma once
// The screen: modes, refresh rate, and showing 16-bit frames with the push buttons on top.
#include <string>
#include <vector>

#include "platform/seam/button_view.h"
#include "platform/seam/pixel_layout.h"

namespace kv {

struct DisplayModeDesc {
  int width = 0, height = 0, bitCount = 0;
  bool operator==(const DisplayModeDesc&) const = default;
};

class VideoDevice {
 public:
  virtual ~VideoDevice() = default;

  // Startup asks once: the desktop's refresh rate rounded to whole Hz, 0 when the platform cannot tell.
  // A device that cannot read it may measure it (the SDL one opens its window to do so).
  virtual int refreshRateHz() = 0;
  // The form opens the window when it is first shown; false (and a message in error()) when it cannot.
  virtual bool openWindow() = 0;
  // The display control creates and releases the device at initialise and finalise.
  virtual bool createDevice() = 0;
  virtual void releaseDevice() = 0;
  // The display control lists the modes the device offers (any order) when it selects one.
  virtual std::vector<DisplayModeDesc> modes() const = 0;
  // The display control asks for one mode; false when the device refuses it.
  virtual bool setMode(const DisplayModeDesc& mode) = 0;
  // The 16-bit layout drawing surfaces must use while the device exists.
  virtual PixelLayout pixelLayout() const = 0;
  // True when the device lost the surfaces' memory since the last restore (the display checks before
  // drawing).
  virtual bool surfacesLost() const = 0;
  // The display asks to get lost surfaces back; false when the device cannot yet.
  virtual bool restoreSurfaces() = 0;
  // Flip shows a frame; with vblanks > 0 it first waits for that many vertical blanks.
  virtual void present(const Frame16& frame, int vblanks) = 0;
  // A waiting flip while nothing can be shown (the window is minimised) still waits, so the game
  // keeps its pace instead of racing unseen.
  virtual void waitForVBlank(int vblanks) = 0;
  // The application hands over the visible push buttons whenever they change.
  virtual void setButtons(const std::vector<ButtonView>& buttons) = 0;
  // The application asks for the last frame to be shown again (buttons changed, window exposed); never waits.
  virtual void repaint() = 0;
  // The harness saves the screen as the player sees it (24-bit BMP); false when the file cannot be written.
  virtual bool saveScreenshot(const std::string& path) = 0;
  // Why openWindow or createDevice failed.
  virtual std::string error() const = 0;
};

}  // namespace kv
