#pragma once
// The two 16-bit pixel layouts a display can use.
#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

enum class PixelLayout : uint8_t {
  Rgb565,  // red 15..11, green 10..5, blue 4..0
  Rgb555,  // bit 15 zero, red 14..10, green 9..5, blue 4..0
};

// A 16-bit frame in memory, as the display hands it to the video device.
struct Frame16 {
  const uint16_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitchPixels = 0;  // row length in pixels
  PixelLayout layout = PixelLayout::Rgb565;
  // The memory behind pixels when a display may keep the frame without copying it (rows packed,
  // the whole vector is the frame); its owner copies before it next writes to it.
  std::shared_ptr<const std::vector<uint16_t>> shared;
};

}  // namespace kv
