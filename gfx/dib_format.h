#pragma once
// Pictures as stored: the length byte and "TDIB", then a device-independent bitmap without a file
// header (40-byte info header; masks for 32-bit, a 256-entry palette for 8-bit; rows bottom-up,
// each padded to a multiple of 4 bytes).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

struct Rgb8 {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb8&) const = default;
};

struct DibPicture {
  int width = 0;
  int height = 0;
  int bitCount = 24;             // as stored: 8, 24 or 32
  std::vector<Rgb8> palette;     // 8-bit pictures: 256 entries
  std::vector<uint8_t> indices;  // 8-bit pictures: one palette index per pixel, top row first
  std::vector<Rgb8> pixels;      // 24- and 32-bit pictures: one colour per pixel, top row first

  // The colour of a pixel whatever the stored depth.
  Rgb8 at(int x, int y) const;
};

}  // namespace kv
