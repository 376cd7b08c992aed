#pragma once
// A copy of the last presented frame, kept by a video device to show it again (repaints, the
// screenshot) after the drawing surface has moved on.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/pixel_layout.h"

namespace kv {

class StoredFrame {
 public:
  void assign(const Frame16& f) {
    width_ = f.width;
    height_ = f.height;
    layout_ = f.layout;
    pixels_.resize(static_cast<size_t>(f.width) * f.height);
    if (f.pitchPixels == f.width) {  // rows without padding: the frame in one copy
      std::copy_n(f.pixels, pixels_.size(), pixels_.begin());
      return;
    }
    for (int y = 0; y < f.height; ++y) {
      std::copy_n(f.pixels + static_cast<size_t>(y) * f.pitchPixels, f.width,
                  pixels_.begin() + static_cast<ptrdiff_t>(y) * f.width);
    }
  }
  bool empty() const { return pixels_.empty(); }
  int width() const { return width_; }
  int height() const { return height_; }
  PixelLayout layout() const { return layout_; }
  const std::vector<uint16_t>& pixels() const { return pixels_; }
  // The copy as a frame (rows packed, pitch = width).
  Frame16 view() const { return Frame16{pixels_.data(), width_, height_, width_, layout_}; }

 private:
  std::vector<uint16_t> pixels_;
  int width_ = 0, height_ = 0;
  PixelLayout layout_ = PixelLayout::Rgb565;
};

}  // namespace kv
