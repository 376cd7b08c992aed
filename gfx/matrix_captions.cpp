#include "gfx/matrix_captions.h"

#include "gfx/matrix_font.h"
#include "gfx/turbopixels.h"

namespace kv {

namespace {
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kYellow = 0x00FFFF;
}  // namespace

void drawMatrixGlyph(int32_t x, int32_t y, uint8_t code, int32_t scale) {
  if (code < kFirstGlyphCode || code >= kFirstGlyphCode + kGlyphCount) return;
  const MatrixGlyph& glyph = matrixFont[static_cast<size_t>(code - kFirstGlyphCode)];
  const int32_t s = scale;
  for (int32_t i = 1; i <= 20; ++i) {
    for (int32_t j = 1; j <= 16; ++j) {
      const uint8_t cell = glyph[static_cast<size_t>(i - 1) * 16 + static_cast<size_t>(j - 1)];
      uint32_t color;
      if (cell == kRedCell) {
        color = kRed;
      } else if (cell == kYellowCell) {
        color = kYellow;
      } else {
        continue;
      }
      // The square is written column by column.
      for (int32_t dx = 0; dx <= s; ++dx)
        for (int32_t dy = 0; dy <= s; ++dy) PutPixel(x + j * s + dx, y + i * s + dy, color);
    }
  }
}

void drawMatrixText(int32_t x, int32_t y, const std::string& text, int32_t scale) {
  for (size_t n = 0; n < text.size(); ++n) {
    const uint8_t c = static_cast<uint8_t>(text[n]);
    const uint8_t code = c == ' ' ? kFirstGlyphCode : c;
    drawMatrixGlyph(x + scale * 16 * static_cast<int32_t>(n), y, code, scale);
  }
}

}  // namespace kv
