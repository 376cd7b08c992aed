#pragma once
// How the game's screen reaches the window: either drawn by our own scaler straight into the
// window's pixels (where the video driver gives the window a framebuffer and no graphics card draws
// faster), or through an SDL renderer (a graphics card's, or whatever renderer the driver has).
#include <vector>

#include "platform/seam/button_view.h"
#include "platform/seam/pixel_layout.h"
#include "platform/support/rgb_image.h"

namespace kv {

class ScreenPresenter {
 public:
  virtual ~ScreenPresenter() = default;

  // Shows the 800x600 screen: the frame (null: none, all black) at the top left, the buttons on top.
  // frameChanged says the frame's pixels differ from the last call's. With vsync the presenter waits
  // for the display's vertical blank where it can, once for each of `shows` presents of the picture.
  virtual void show(const Frame16* frame, bool frameChanged, const std::vector<ButtonView>& buttons,
                    bool vsync, int shows) = 0;
  // Whether a vsync show can wait for the display at all (if not, only the pacer keeps the pace).
  virtual bool canWaitForVBlank() const = 0;
  // The window's contents are lost (exposed, resized): the next show draws it whole.
  virtual void invalidate() = 0;
  // SDL reports the renderer's textures (or its whole device) gone.
  virtual void targetsReset(bool deviceReset) = 0;
  // Makes again whatever was lost; false when it cannot yet.
  virtual bool restore() = 0;
  // The 800x600 screen as it is in the window now, drawn afresh (for tests).
  virtual RgbImage readBack(const Frame16* frame, const std::vector<ButtonView>& buttons) = 0;
  virtual const char* name() const = 0;
};

}  // namespace kv
