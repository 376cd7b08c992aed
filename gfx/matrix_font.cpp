#include "gfx/matrix_font.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/component_errors.h"

namespace kv {

std::array<MatrixGlyph, kGlyphCount> matrixFont{};

void loadMatrixFont(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    throw EFOpenError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  }
  uint8_t buffer = 0;
  for (MatrixGlyph& glyph : matrixFont) {
    for (uint8_t& cell : glyph) {
      int c = std::fgetc(f);
      if (c != EOF) buffer = static_cast<uint8_t>(c);
      cell = buffer;
    }
  }
  std::fclose(f);
}

}  // namespace kv
