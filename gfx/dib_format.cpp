#include "gfx/dib_format.h"

namespace kv {

Rgb8 DibPicture::at(int x, int y) const {
  const size_t i = static_cast<size_t>(y) * width + x;
  if (bitCount == 8) return palette[indices[i]];
  return pixels[i];
}

}  // namespace kv
