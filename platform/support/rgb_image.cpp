#include "platform/support/rgb_image.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/support/byte_order.h"

namespace kv {

std::vector<uint8_t> encodeBmp24(const RgbImage& image) {
  const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
  std::vector<uint8_t> out;
  out.reserve(54 + dataBytes);
  out.push_back('B');
  out.push_back('M');
  putLe32(out, 54 + dataBytes);
  putLe32(out, 0);
  putLe32(out, 54);
  putLe32(out, 40);
  putLe32(out, static_cast<uint32_t>(image.width));
  putLe32(out, static_cast<uint32_t>(image.height));
  putLe16(out, 1);
  putLe16(out, 24);
  putLe32(out, 0);
  putLe32(out, dataBytes);
  putLe32(out, 2835);
  putLe32(out, 2835);
  putLe32(out, 0);
  putLe32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.at(x, y);
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

bool writeBmp24(const std::string& path, const RgbImage& image) {
  const std::vector<uint8_t> out = encodeBmp24(image);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

RgbImage readBmp24(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return {};
  uint32_t offset = getLe32(&b[10]);
  int32_t w = static_cast<int32_t>(getLe32(&b[18]));
  int32_t h = static_cast<int32_t>(getLe32(&b[22]));
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || (b[28] | (b[29] << 8)) != 24) return {};
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (offset > b.size() || b.size() - offset < rowBytes * h) return {};
  RgbImage img(w, h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = &b[offset + rowBytes * (h - 1 - y)];
    for (int x = 0; x < w; ++x) img.set(x, y, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  }
  return img;
}

}  // namespace kv
