#include "assets/images/glyph_sheet.h"

#include <map>
#include <set>

#include "assets/images/art_text.h"

namespace kv {

namespace {

enum Ink : uint8_t { kKey = 0, kOutline = 1, kLight = 2, kBody = 3, kShade = 4 };

struct Glyph {
  std::vector<std::string> rows;
  std::vector<int> cells;
  int line = 0;
};

// Inks one cell from its shape.
std::vector<uint8_t> inkGlyph(const Glyph& g, int w, int h, const std::string& source) {
  auto shape = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && g.rows[y][x] == '#'; };
  std::vector<uint8_t> out(static_cast<size_t>(w) * h, kKey);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t& p = out[static_cast<size_t>(y) * w + x];
      if (shape(x, y)) {
        if (!shape(x, y - 1)) {
          p = kLight;
        } else if (!shape(x, y + 1) || !shape(x + 1, y)) {
          p = kShade;
        } else {
          p = kBody;
        }
      }
    }
  }
  // The outline: every empty pixel touching the shape, or touching it moved one down and right.
  auto touching = [&](int cx, int cy) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (shape(cx + dx, cy + dy)) return true;
    return false;
  };
  for (int y = -2; y < h + 2; ++y) {
    for (int x = -2; x < w + 2; ++x) {
      if (shape(x, y) || !(touching(x, y) || touching(x - 1, y - 1))) continue;
      if (x < 0 || y < 0 || x >= w || y >= h) artFail(source, g.line, "the outline does not fit in the cell");
      out[static_cast<size_t>(y) * w + x] = kOutline;
    }
  }
  return out;
}

}  // namespace

DibPicture parseGlyphSheet(const std::string& text, const std::string& source) {
  int cw = 0, ch = 0, cols = 0, rowsOfCells = 0;
  bool haveKey = false;
  Rgb8 key;
  std::map<std::string, Rgb8> inks;
  std::vector<Glyph> glyphs;
  const std::vector<ArtLine> lines = splitArtLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const ArtLine& l = lines[i];
    const std::vector<std::string> w = artWords(l.text);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "cell" && w.size() == 3) {
      cw = artNumber(w[1], 1, 256, source, l.number);
      ch = artNumber(w[2], 1, 256, source, l.number);
    } else if (w[0] == "grid" && w.size() == 3) {
      cols = artNumber(w[1], 1, 256, source, l.number);
      rowsOfCells = artNumber(w[2], 1, 256, source, l.number);
    } else if (w[0] == "key" && w.size() == 4) {
      key = artColour(w, 1, source, l.number);
      haveKey = true;
    } else if (w[0] == "ink" && w.size() == 5) {
      static const std::set<std::string> names = {"outline", "light", "body", "shade"};
      if (!names.count(w[1])) artFail(source, l.number, "inks are outline, light, body and shade");
      inks[w[1]] = artColour(w, 2, source, l.number);
    } else if (w[0] == "glyph" && w.size() >= 3) {
      if (cw == 0 || cols == 0) artFail(source, l.number, "'cell' and 'grid' must come before the glyphs");
      Glyph g;
      g.line = l.number;
      for (size_t k = 2; k < w.size(); ++k)
        g.cells.push_back(artNumber(w[k], 0, cols * rowsOfCells - 1, source, l.number));
      for (int r = 0; r < ch; ++r) {
        if (++i >= lines.size()) artFail(source, l.number, "the glyph has fewer rows than the cell");
        const std::string& row = lines[i].text;
        if (static_cast<int>(row.size()) != cw || row.find_first_not_of(".#") != std::string::npos)
          artFail(source, lines[i].number, "a glyph row is " + std::to_string(cw) + " of '.' and '#'");
        g.rows.push_back(row);
      }
      glyphs.push_back(g);
    } else {
      artFail(source, l.number, "cannot understand '" + l.text + "'");
    }
  }
  if (!haveKey || inks.size() != 4 || cw == 0 || cols == 0)
    artFail(source, 1, "the sheet needs cell, grid, key and the four inks");
  for (const auto& [name, colour] : inks)
    if (tooCloseToKey(colour, key)) artFail(source, 1, "ink " + name + " would vanish into the key");

  DibPicture p;
  p.width = cw * cols;
  p.height = ch * rowsOfCells;
  p.bitCount = 8;
  p.palette.assign(256, Rgb8{0, 0, 0});
  p.palette[kKey] = key;
  p.palette[kOutline] = inks["outline"];
  p.palette[kLight] = inks["light"];
  p.palette[kBody] = inks["body"];
  p.palette[kShade] = inks["shade"];
  p.indices.assign(static_cast<size_t>(p.width) * p.height, kKey);
  std::set<int> used;
  for (const Glyph& g : glyphs) {
    const std::vector<uint8_t> inked = inkGlyph(g, cw, ch, source);
    for (int cell : g.cells) {
      if (!used.insert(cell).second)
        artFail(source, g.line, "cell " + std::to_string(cell) + " is filled twice");
      const int ox = (cell % cols) * cw, oy = (cell / cols) * ch;
      for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
          p.indices[static_cast<size_t>(oy + y) * p.width + ox + x] = inked[static_cast<size_t>(y) * cw + x];
    }
  }
  return p;
}

}  // namespace kv
