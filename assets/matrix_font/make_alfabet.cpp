// Writes the matrix font file from its text source:
//   kv_make_alfabet OUTPUT SOURCE
#include <cstdio>
#include <fstream>

#include "assets/images/art_text.h"
#include "assets/matrix_font/matrix_font_source.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT SOURCE\n", argv[0]);
    return 2;
  }
  try {
    const std::vector<uint8_t> font = kv::parseMatrixFontSource(kv::readArtFile(argv[2]), argv[2]);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
    if (!out) throw kv::ArtSourceError(std::string("cannot write ") + argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
