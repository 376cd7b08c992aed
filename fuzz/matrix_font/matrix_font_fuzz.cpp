// The matrix-font loader and the captions drawn with what it loaded. The input is the whole font
// file; its first bytes also choose a caption, a scale and a place, so odd characters, scales and
// positions half off the surface are drawn too.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "gfx/dd_surface.h"
#include "gfx/matrix_captions.h"
#include "gfx/matrix_font.h"
#include "gfx/turbopixels.h"

namespace {

// The checks add nothing to explore: kept out of the coverage feedback, so they cost little.
#define KV_NO_COVERAGE __attribute__((no_sanitize("coverage")))

// Cells take the file's bytes in order; past its end they keep the last byte read.
KV_NO_COVERAGE void checkCells(const uint8_t* data, size_t size) {
  uint8_t last = 0;
  for (size_t k = 0; k < static_cast<size_t>(kv::kGlyphCount) * kv::kGlyphCells; ++k) {
    if (k < size) last = data[k];
    KV_FUZZ_CHECK(kv::matrixFont[k / kv::kGlyphCells][k % kv::kGlyphCells] == last);
  }
}

// Only black, red and yellow can be on the surface.
KV_NO_COVERAGE void checkColours(const kv::TDirectDrawSurface& surface) {
  for (int32_t py = 0; py < surface.Height(); ++py) {
    for (int32_t px = 0; px < surface.Width(); ++px) {
      const uint32_t v = kv::GetPixel(px, py);
      KV_FUZZ_CHECK(v == 0 || v == 0xF800 || v == 0xFFE0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    kv::fuzz::MemoryFile file(data, size);
    kv::loadMatrixFont(file.path());
  }
  checkCells(data, size);

  static kv::TDirectDrawSurface surface;
  if (surface.Width() == 0) surface.Create(64, 48, kv::PixelLayout::Rgb565);
  if (size < 6) return 0;
  const int32_t scale = static_cast<int8_t>(data[0]) % 5;  // -4 .. 4
  const int32_t x = static_cast<int8_t>(data[1]) / 2;
  const int32_t y = static_cast<int8_t>(data[2]) / 2;
  const std::string text(reinterpret_cast<const char*>(data + 3), std::min<size_t>(size - 3, 8));
  surface.Fill(0);
  KV_FUZZ_CHECK(kv::LockSurface(surface));
  kv::drawMatrixText(x, y, text, scale);
  checkColours(surface);
  kv::UnlockSurface();
  return 0;
}
