#include "platform/support/screen_composer.h"

#include <algorithm>

namespace kv {

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// The classic desktop palette for push buttons.
constexpr Rgb kFace{212, 208, 200};
constexpr Rgb kHighlight{255, 255, 255};
constexpr Rgb kLight{234, 232, 227};
constexpr Rgb kShadow{128, 128, 128};
constexpr Rgb kDarkShadow{64, 64, 64};
constexpr Rgb kText{0, 0, 0};
constexpr Rgb kGrayText{128, 128, 128};

void fillRect(RgbImage& img, int x, int y, int w, int h, Rgb c) {
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) img.set(xx, yy, c.r, c.g, c.b);
}

void hline(RgbImage& img, int x0, int x1, int y, Rgb c) {
  for (int x = x0; x <= x1; ++x) img.set(x, y, c.r, c.g, c.b);
}

void vline(RgbImage& img, int x, int y0, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y) img.set(x, y, c.r, c.g, c.b);
}

void blendText(RgbImage& img, const TextBitmap& text, int x0, int y0, Rgb c) {
  for (int y = 0; y < text.height; ++y) {
    for (int x = 0; x < text.width; ++x) {
      int a = text.coverage[static_cast<size_t>(y) * text.width + x];
      int px = x0 + x, py = y0 + y;
      if (a == 0 || px < 0 || py < 0 || px >= img.width || py >= img.height) continue;
      const uint8_t* p = img.at(px, py);
      auto mix = [a](int under, int over) {
        return static_cast<uint8_t>((over * a + under * (255 - a)) / 255);
      };
      img.set(px, py, mix(p[0], c.r), mix(p[1], c.g), mix(p[2], c.b));
    }
  }
}

}  // namespace

void widenPixel(uint16_t pixel, PixelLayout layout, uint8_t& r, uint8_t& g, uint8_t& b) {
  if (layout == PixelLayout::Rgb565) {
    unsigned r5 = (pixel >> 11) & 31, g6 = (pixel >> 5) & 63, b5 = pixel & 31;
    r = static_cast<uint8_t>(r5 << 3 | r5 >> 2);
    g = static_cast<uint8_t>(g6 << 2 | g6 >> 4);
    b = static_cast<uint8_t>(b5 << 3 | b5 >> 2);
  } else {
    unsigned r5 = (pixel >> 10) & 31, g5 = (pixel >> 5) & 31, b5 = pixel & 31;
    r = static_cast<uint8_t>(r5 << 3 | r5 >> 2);
    g = static_cast<uint8_t>(g5 << 3 | g5 >> 2);
    b = static_cast<uint8_t>(b5 << 3 | b5 >> 2);
  }
}

void paintButton(RgbImage& img, const ButtonView& bt, GlyphSource& glyphs) {
  const int x0 = bt.left, y0 = bt.top, x1 = bt.left + bt.width - 1, y1 = bt.top + bt.height - 1;
  if (bt.width <= 0 || bt.height <= 0) return;
  fillRect(img, x0, y0, bt.width, bt.height, kFace);
  if (bt.pressed) {
    // Pressed: a dark frame with the shadow inside, as if pushed into the screen.
    hline(img, x0, x1, y0, kDarkShadow);
    hline(img, x0, x1, y1, kDarkShadow);
    vline(img, x0, y0, y1, kDarkShadow);
    vline(img, x1, y0, y1, kDarkShadow);
    hline(img, x0 + 1, x1 - 1, y0 + 1, kShadow);
    vline(img, x0 + 1, y0 + 1, y1 - 1, kShadow);
  } else {
    hline(img, x0, x1 - 1, y0, kHighlight);
    vline(img, x0, y0, y1 - 1, kHighlight);
    hline(img, x0 + 1, x1 - 2, y0 + 1, kLight);
    vline(img, x0 + 1, y0 + 1, y1 - 2, kLight);
    hline(img, x0, x1, y1, kDarkShadow);
    vline(img, x1, y0, y1, kDarkShadow);
    hline(img, x0 + 1, x1 - 1, y1 - 1, kShadow);
    vline(img, x1 - 1, y0 + 1, y1 - 1, kShadow);
  }
  TextBitmap text = glyphs.renderText(bt.caption);
  if (text.width <= 0 || text.height <= 0) return;
  int shift = bt.pressed ? 1 : 0;
  int tx = x0 + (bt.width - text.width) / 2 + shift;
  int ty = y0 + (bt.height - text.height) / 2 + shift;
  if (bt.enabled) {
    blendText(img, text, tx, ty, kText);
  } else {
    // Disabled captions are embossed: a white copy one pixel down-right under the grey text.
    blendText(img, text, tx + 1, ty + 1, kHighlight);
    blendText(img, text, tx, ty, kGrayText);
  }
}

RgbImage composeScreen(const Frame16* frame, const std::vector<ButtonView>& buttons, GlyphSource& glyphs,
                       int screenWidth, int screenHeight) {
  RgbImage img(screenWidth, screenHeight);
  if (frame && frame->pixels) {
    int w = std::min(frame->width, screenWidth), h = std::min(frame->height, screenHeight);
    for (int y = 0; y < h; ++y) {
      const uint16_t* row = frame->pixels + static_cast<size_t>(y) * frame->pitchPixels;
      for (int x = 0; x < w; ++x) {
        uint8_t r, g, b;
        widenPixel(row[x], frame->layout, r, g, b);
        img.set(x, y, r, g, b);
      }
    }
  }
  for (const ButtonView& b : buttons) paintButton(img, b, glyphs);
  return img;
}

}  // namespace kv
