#pragma once
// Shared pieces of the image-list tests: a display on the headless back end and picture builders.
#include <cstdint>
#include <functional>

#include "gfx/dib_format.h"
#include "gfx/dxdraw.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace kv::test {

// A windowed display of 800x566 on the virtual screen; not initialised until init().
struct DisplayRig {
  explicit DisplayRig(PixelLayout layout = PixelLayout::Rgb565) {
    video.setPixelLayout(layout);
    draw.SetBounds(0, 0, 800, 566);
  }
  void init() { draw.Initialize(); }

  VirtualClock clock;
  VirtualDisplay video{clock, 60};
  TDXDraw draw{video};
};

inline DibPicture picture24(int width, int height, const std::function<Rgb8(int, int)>& colorAt,
                            int bitCount = 24) {
  DibPicture p;
  p.width = width;
  p.height = height;
  p.bitCount = bitCount;
  p.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.pixels[static_cast<size_t>(y) * width + x] = colorAt(x, y);
  return p;
}

inline uint32_t colorValue(const Rgb8& c) {
  return c.r | (c.g << 8) | (c.b << 16);
}

}  // namespace kv::test
