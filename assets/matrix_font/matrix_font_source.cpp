#include "assets/matrix_font/matrix_font_source.h"

#include "assets/images/art_text.h"
#include "gfx/matrix_font.h"

namespace kv {

std::vector<uint8_t> parseMatrixFontSource(const std::string& text, const std::string& source) {
  constexpr int kColumns = 16, kRows = 20;
  std::vector<uint8_t> font(static_cast<size_t>(kGlyphCount) * kGlyphCells, 0);
  std::vector<bool> seen(kGlyphCount, false);
  const std::vector<ArtLine> lines = splitArtLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const ArtLine& l = lines[i];
    const std::vector<std::string> w = artWords(l.text);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] != "glyph" || w.size() != 2 || w[1].size() != 1) artFail(source, l.number, "expected 'glyph C'");
    const int code = static_cast<unsigned char>(w[1][0]);
    const int g = code - kFirstGlyphCode;
    if (g < 0 || g >= kGlyphCount) artFail(source, l.number, "only '@' and 'A' to 'Z' have glyphs");
    if (seen[g]) artFail(source, l.number, "glyph " + w[1] + " is drawn twice");
    seen[g] = true;
    for (int r = 0; r < kRows; ++r) {
      if (++i >= lines.size()) artFail(source, l.number, "glyph " + w[1] + " has fewer than 20 rows");
      const std::string& row = lines[i].text;
      if (static_cast<int>(row.size()) != kColumns || row.find_first_not_of(".RY") != std::string::npos)
        artFail(source, lines[i].number, "a glyph row is 16 cells of '.', 'R' and 'Y'");
      for (int c = 0; c < kColumns; ++c) {
        const uint8_t cell = row[c] == 'R' ? kRedCell : row[c] == 'Y' ? kYellowCell : 0;
        font[static_cast<size_t>(g) * kGlyphCells + r * kColumns + c] = cell;
      }
    }
  }
  for (int g = 0; g < kGlyphCount; ++g) {
    if (!seen[g]) {
      artFail(source, lines.empty() ? 1 : lines.back().number,
              std::string("glyph ") + static_cast<char>(g + kFirstGlyphCode) + " is missing");
    }
  }
  return font;
}

}  // namespace kv
