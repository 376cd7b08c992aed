#include <stdexcept>

#include "gfx/dib_writer.h"
#include "platform/support/byte_order.h"

namespace kv {

namespace {

size_t rowBytes(int width, int bitCount) {
  return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
}

}  // namespace

std::vector<uint8_t> writeTdib(const DibPicture& p) {
  if (p.width <= 0 || p.height <= 0) throw std::invalid_argument("a picture needs a positive size");
  const size_t count = static_cast<size_t>(p.width) * p.height;
  if (p.bitCount == 8) {
    if (p.palette.size() != 256 || p.indices.size() != count)
      throw std::invalid_argument("an 8-bit picture needs 256 palette entries and one index per pixel");
  } else if (p.bitCount == 24 || p.bitCount == 32) {
    if (p.pixels.size() != count) throw std::invalid_argument("the picture needs one colour per pixel");
  } else {
    throw std::invalid_argument("pictures are stored with 8, 24 or 32 bits per pixel");
  }

  const size_t stride = rowBytes(p.width, p.bitCount);
  std::vector<uint8_t> out;
  out.push_back(4);
  for (char c : {'T', 'D', 'I', 'B'}) out.push_back(static_cast<uint8_t>(c));
  putLe32(out, 40);
  putLe32(out, static_cast<uint32_t>(p.width));
  putLe32(out, static_cast<uint32_t>(p.height));
  putLe16(out, 1);
  putLe16(out, static_cast<uint16_t>(p.bitCount));
  putLe32(out, p.bitCount == 32 ? 3u : 0u);  // 32-bit pictures carry three colour masks
  putLe32(out, static_cast<uint32_t>(stride * p.height));
  putLe32(out, 0);
  putLe32(out, 0);
  putLe32(out, p.bitCount == 8 ? 256u : 0u);
  putLe32(out, 0);
  if (p.bitCount == 32) {
    putLe32(out, 0xFF0000);
    putLe32(out, 0x00FF00);
    putLe32(out, 0x0000FF);
  } else if (p.bitCount == 8) {
    for (const Rgb8& c : p.palette) {
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      out.push_back(0);
    }
  }
  for (int y = p.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < p.width; ++x) {
      size_t i = static_cast<size_t>(y) * p.width + x;
      if (p.bitCount == 8) {
        out.push_back(p.indices[i]);
      } else {
        out.push_back(p.pixels[i].b);
        out.push_back(p.pixels[i].g);
        out.push_back(p.pixels[i].r);
        if (p.bitCount == 32) out.push_back(0);
      }
    }
    out.resize(start + stride, 0);
  }
  return out;
}

}  // namespace kv
