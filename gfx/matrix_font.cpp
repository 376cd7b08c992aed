#include "gfx/matrix_font.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/components/component_errors.h"

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
  // A file that opens but cannot be read (a device error) is as unusable as a missing one; a short
  // file is not an error.
  const bool readFailed = std::ferror(f) != 0;
  const int readError = errno;
  std::fclose(f);
  if (readFailed) throw EFOpenError("Cannot read file \"" + path + "\". " + std::strerror(readError));
}

}  // namespace kv
