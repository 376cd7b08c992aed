#include "assets/images/stored_picture.h"

#include "assets/images/art_text.h"

namespace kv {

namespace {

uint32_t get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

}  // namespace

DibPicture loadStoredPicture(const std::string& path) {
  const std::string b = readArtFile(path);
  auto fail = [&](const std::string& what) { throw ArtSourceError(path + ": " + what); };
  if (b.size() < 45 || b.compare(0, 5, "\x04TDIB") != 0) fail("not a stored picture");
  const size_t h = 5;
  if (get32(b, h) != 40) fail("the header is not 40 bytes");
  DibPicture p;
  p.width = static_cast<int>(get32(b, h + 4));
  p.height = static_cast<int>(get32(b, h + 8));
  p.bitCount = static_cast<int>(get32(b, h + 12) >> 16);
  if (p.width <= 0 || p.height <= 0 || p.width > 8192 || p.height > 8192) fail("bad size");
  size_t at = h + 40;
  if (p.bitCount == 32) {
    at += 12;
  } else if (p.bitCount == 8) {
    if (b.size() < at + 1024) fail("the palette is cut short");
    p.palette.resize(256);
    for (Rgb8& c : p.palette) {
      c = {static_cast<uint8_t>(b[at + 2]), static_cast<uint8_t>(b[at + 1]), static_cast<uint8_t>(b[at])};
      at += 4;
    }
  } else if (p.bitCount != 24) {
    fail("unsupported depth " + std::to_string(p.bitCount));
  }
  const size_t stride = ((static_cast<size_t>(p.width) * p.bitCount + 31) / 32) * 4;
  if (b.size() != at + stride * p.height) fail("the pixel rows do not match the size");
  const size_t count = static_cast<size_t>(p.width) * p.height;
  if (p.bitCount == 8)
    p.indices.resize(count);
  else
    p.pixels.resize(count);
  const size_t bytesPerPixel = p.bitCount / 8;
  for (int y = 0; y < p.height; ++y) {
    const size_t row = at + stride * (p.height - 1 - y);
    for (int x = 0; x < p.width; ++x) {
      const size_t q = row + x * bytesPerPixel;
      const size_t i = static_cast<size_t>(y) * p.width + x;
      if (p.bitCount == 8) {
        p.indices[i] = static_cast<uint8_t>(b[q]);
      } else {
        p.pixels[i] = {static_cast<uint8_t>(b[q + 2]), static_cast<uint8_t>(b[q + 1]),
                       static_cast<uint8_t>(b[q])};
      }
    }
  }
  return p;
}

}  // namespace kv
