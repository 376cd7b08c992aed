#pragma once
// Builds the picture the player sees: the presented 16-bit frame at the top left, black below it,
// and the visible push buttons in the classic bevelled look on top. The real window and the
// harness's screenshots share this, so both draw the buttons the same way.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/seam/button_view.h"
#include "platform/seam/pixel_layout.h"
#include "platform/support/rgb_image.h"

namespace kv {

// Anti-aliased caption text: one coverage byte per pixel (0 transparent, 255 solid).
struct TextBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;
};

// Where captions come from: the system's sans-serif font on the desktop, a built-in one headless.
class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  virtual TextBitmap renderText(const std::string& text) = 0;
};

// Widens a 16-bit pixel to 8 bits per channel by bit replication.
void widenPixel(uint16_t pixel, PixelLayout layout, uint8_t& r, uint8_t& g, uint8_t& b);

// Draws one button (face, bevel, centred caption) into image.
void paintButton(RgbImage& image, const ButtonView& button, GlyphSource& glyphs);

// The whole screen: frame (may be null: all black), then the buttons in the given order.
RgbImage composeScreen(const Frame16* frame, const std::vector<ButtonView>& buttons, GlyphSource& glyphs,
                       int screenWidth = 800, int screenHeight = 600);

}  // namespace kv
