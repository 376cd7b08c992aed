#include "assets/images/pixel_art.h"

#include <map>
#include <optional>

#include "assets/images/art_text.h"

namespace kv {

namespace {

struct Patch {
  int frame = 0, x = 0, y = 0, line = 0;
  std::vector<std::string> rows;
};

struct ArtSource {
  int width = 0, height = 0, depth = 0, frames = 1;
  std::optional<char> keyChar;
  std::map<char, Rgb8> legend;
  std::vector<std::string> cycles;
  std::vector<std::string> art;
  std::vector<Patch> patches;
};

bool usableChar(char c) {
  return c != ' ' && c != '-' && c != '#' && c > ' ' && c < 127;
}

char legendChar(const std::string& word, const std::string& source, int line) {
  if (word.size() != 1 || !usableChar(word[0])) {
    artFail(source, line, "'" + word + "' cannot name a colour (one character, not space, '-' or '#')");
  }
  return word[0];
}

ArtSource readSource(const std::string& text, const std::string& source) {
  ArtSource s;
  const std::vector<ArtLine> lines = splitArtLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const ArtLine& l = lines[i];
    const std::vector<std::string> w = artWords(l.text);
    if (w.empty() || w[0][0] == '#') continue;
    const std::string& d = w[0];
    if (d == "size" && w.size() == 3) {
      s.width = artNumber(w[1], 1, 4096, source, l.number);
      s.height = artNumber(w[2], 1, 4096, source, l.number);
    } else if (d == "depth" && w.size() == 2) {
      s.depth = artNumber(w[1], 24, 32, source, l.number);
      if (s.depth != 24 && s.depth != 32) artFail(source, l.number, "depth is 24 or 32");
    } else if (d == "frames" && w.size() == 2) {
      s.frames = artNumber(w[1], 1, 64, source, l.number);
    } else if ((d == "key" || d == "colour") && w.size() == 5) {
      const char c = legendChar(w[1], source, l.number);
      if (s.legend.count(c)) artFail(source, l.number, std::string("'") + c + "' is named twice");
      s.legend[c] = artColour(w, 2, source, l.number);
      if (d == "key") {
        if (s.keyChar) artFail(source, l.number, "a picture has one transparent colour");
        s.keyChar = c;
      }
    } else if (d == "cycle" && w.size() == 2) {
      s.cycles.push_back(w[1]);
    } else if (d == "art" && w.size() == 1) {
      if (s.width == 0) artFail(source, l.number, "'size' must come before the drawing");
      if (!s.art.empty()) artFail(source, l.number, "a picture has one base drawing");
      for (int r = 0; r < s.height; ++r) {
        if (++i >= lines.size()) artFail(source, l.number, "the drawing has fewer rows than its size");
        if (static_cast<int>(lines[i].text.size()) != s.width) {
          artFail(source, lines[i].number,
                  "row is " + std::to_string(lines[i].text.size()) + " wide, not " + std::to_string(s.width));
        }
        s.art.push_back(lines[i].text);
      }
    } else if (d == "patch" && w.size() == 4) {
      Patch p;
      p.line = l.number;
      p.frame = artNumber(w[1], 0, 63, source, l.number);
      p.x = artNumber(w[2], 0, 4095, source, l.number);
      p.y = artNumber(w[3], 0, 4095, source, l.number);
      while (i + 1 < lines.size() && !lines[i + 1].text.empty()) p.rows.push_back(lines[++i].text);
      if (p.rows.empty()) artFail(source, l.number, "a patch needs at least one row");
      s.patches.push_back(p);
    } else {
      artFail(source, l.number, "cannot understand '" + l.text + "'");
    }
  }
  if (s.width == 0 || s.depth == 0 || !s.keyChar || s.art.empty()) {
    artFail(source, lines.empty() ? 1 : lines.back().number, "a picture needs size, depth, key and art");
  }
  return s;
}

void check(const ArtSource& s, const std::string& source) {
  const Rgb8 key = s.legend.at(*s.keyChar);
  for (const auto& [c, colour] : s.legend) {
    if (c != *s.keyChar && tooCloseToKey(colour, key)) {
      artFail(source, 1, std::string("colour '") + c + "' would vanish into the transparent colour");
    }
  }
  auto known = [&](char c, int line) {
    if (!s.legend.count(c)) artFail(source, line, std::string("'") + c + "' is not in the legend");
  };
  for (size_t r = 0; r < s.art.size(); ++r)
    for (char c : s.art[r]) known(c, 0);
  for (const std::string& cycle : s.cycles) {
    for (char c : cycle) {
      known(c, 0);
      if (c == *s.keyChar) artFail(source, 0, "the transparent colour cannot run in a cycle");
    }
  }
  for (const Patch& p : s.patches) {
    if (p.frame >= s.frames) artFail(source, p.line, "the picture has no frame " + std::to_string(p.frame));
    if (p.y + static_cast<int>(p.rows.size()) > s.height)
      artFail(source, p.line, "the patch runs off the bottom");
    for (const std::string& row : p.rows) {
      if (p.x + static_cast<int>(row.size()) > s.width)
        artFail(source, p.line, "the patch runs off the right");
      for (char c : row)
        if (c != '-') known(c, p.line);
    }
  }
}

}  // namespace

DibPicture parsePixelArt(const std::string& text, const std::string& sourceName) {
  const ArtSource s = readSource(text, sourceName);
  check(s, sourceName);

  DibPicture picture;
  picture.width = s.width * s.frames;
  picture.height = s.height;
  picture.bitCount = s.depth;
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int f = 0; f < s.frames; ++f) {
    std::vector<std::string> frame = s.art;
    for (std::string& row : frame) {
      for (char& c : row) {
        for (const std::string& cycle : s.cycles) {
          const size_t i = cycle.find(c);
          if (i != std::string::npos) {
            c = cycle[(i + f) % cycle.size()];
            break;
          }
        }
      }
    }
    for (const Patch& p : s.patches) {
      if (p.frame != f) continue;
      for (size_t r = 0; r < p.rows.size(); ++r)
        for (size_t x = 0; x < p.rows[r].size(); ++x)
          if (p.rows[r][x] != '-') frame[p.y + r][p.x + x] = p.rows[r][x];
    }
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x)
        picture.pixels[static_cast<size_t>(y) * picture.width + f * s.width + x] = s.legend.at(frame[y][x]);
  }
  return picture;
}

}  // namespace kv
