// Turns one picture source into its stored form:
//   kv_make_picture art|font|tree OUTPUT.tdib SOURCE
#include <cstdio>
#include <fstream>
#include <string>

#include "assets/images/art_text.h"
#include "assets/images/glyph_sheet.h"
#include "assets/images/pixel_art.h"
#include "assets/images/tree_generator.h"
#include "gfx/dib_writer.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s art|font|tree OUTPUT.tdib SOURCE\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1], output = argv[2], source = argv[3];
  try {
    const std::string text = kv::readArtFile(source);
    kv::DibPicture picture;
    if (kind == "art")
      picture = kv::parsePixelArt(text, source);
    else if (kind == "font")
      picture = kv::parseGlyphSheet(text, source);
    else if (kind == "tree")
      picture = kv::growTree(text, source);
    else
      throw kv::ArtSourceError("unknown kind of picture '" + kind + "'");
    const std::vector<uint8_t> bytes = kv::writeTdib(picture);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw kv::ArtSourceError("cannot write " + output);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}
