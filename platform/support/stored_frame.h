#pragma once
// A copy of the last presented frame, kept by a video device to show it again (repaints, the
// screenshot) after the drawing surface has moved on. A frame that offers its memory is kept by
// sharing it instead: its surface copies or swaps buffers before it next writes.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/seam/pixel_layout.h"

namespace kv {

class StoredFrame {
 public:
  void assign(const Frame16& f) {
    width_ = f.width;
    height_ = f.height;
    layout_ = f.layout;
    const size_t size = static_cast<size_t>(f.width) * f.height;
    if (f.shared && f.pitchPixels == f.width && f.shared->size() == size && f.shared->data() == f.pixels) {
      shared_ = f.shared;  // kept as it is: its owner copies before it changes it
      pixels_.clear();
      return;
    }
    shared_.reset();
    pixels_.resize(size);
    if (f.pitchPixels == f.width) {  // rows without padding: the frame in one copy
      std::copy_n(f.pixels, pixels_.size(), pixels_.begin());
      return;
    }
    for (int y = 0; y < f.height; ++y) {
      std::copy_n(f.pixels + static_cast<size_t>(y) * f.pitchPixels, f.width,
                  pixels_.begin() + static_cast<ptrdiff_t>(y) * f.width);
    }
  }
  bool empty() const { return pixels().empty(); }
  int width() const { return width_; }
  int height() const { return height_; }
  PixelLayout layout() const { return layout_; }
  const std::vector<uint16_t>& pixels() const { return shared_ ? *shared_ : pixels_; }
  // The copy as a frame (rows packed, pitch = width).
  Frame16 view() const { return Frame16{pixels().data(), width_, height_, width_, layout_, {}}; }

 private:
  std::vector<uint16_t> pixels_;
  std::shared_ptr<const std::vector<uint16_t>> shared_;
  int width_ = 0, height_ = 0;
  PixelLayout layout_ = PixelLayout::Rgb565;
};

}  // namespace kv
