// Lays every picture out on one sheet for looking at the art: each frame (each font cell) at three
// times its size on a checkerboard that shows through the transparent colour, with a label.
//   kv_contact_sheet OUTPUT.bmp { INDEX NAME PATTERN-W PATTERN-H R,G,B FILE }...
// A pattern size of 0 means the whole picture.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets/images/stored_picture.h"
#include "platform/support/builtin_glyphs.h"
#include "platform/support/rgb_image.h"

namespace {

constexpr int kScale = 3;
constexpr int kMargin = 16;
constexpr int kGap = 6;      // between frames
constexpr int kCellGap = 3;  // between font cells
constexpr int kLabelHeight = 24;
constexpr int kSheetWidth = 2 * kMargin + 8 * (83 * kScale + kGap);

struct Entry {
  std::string label;
  kv::DibPicture picture;
  int patternW = 0, patternH = 0;
  kv::Rgb8 key;
  int columns = 1, rows = 1, gap = kGap;
  int width() const { return std::max(columns * (patternW * kScale + gap) - gap, labelWidth()); }
  int height() const { return kLabelHeight + rows * (patternH * kScale + gap) - gap; }
  int labelWidth() const { return static_cast<int>(label.size()) * 12; }
};

void drawText(kv::RgbImage& image, kv::BuiltinGlyphs& glyphs, const std::string& text, int x, int y) {
  const kv::TextBitmap bm = glyphs.renderText(text);
  for (int yy = 0; yy < bm.height; ++yy)
    for (int xx = 0; xx < bm.width; ++xx)
      if (bm.coverage[static_cast<size_t>(yy) * bm.width + xx])
        for (int d = 0; d < 4; ++d) image.set(x + 2 * xx + d % 2, y + 2 * yy + d / 2, 235, 235, 225);
}

void drawEntry(kv::RgbImage& image, kv::BuiltinGlyphs& glyphs, const Entry& e, int left, int top) {
  drawText(image, glyphs, e.label, left, top + 2);
  for (int cy = 0; cy < e.rows; ++cy) {
    for (int cx = 0; cx < e.columns; ++cx) {
      const int ox = left + cx * (e.patternW * kScale + e.gap);
      const int oy = top + kLabelHeight + cy * (e.patternH * kScale + e.gap);
      for (int y = 0; y < e.patternH * kScale; ++y) {
        for (int x = 0; x < e.patternW * kScale; ++x) {
          const kv::Rgb8 c = e.picture.at(cx * e.patternW + x / kScale, cy * e.patternH + y / kScale);
          if (c == e.key) {
            const uint8_t v = ((x / 6 + y / 6) % 2) ? 150 : 205;
            image.set(ox + x, oy + y, v, v, v);
          } else {
            image.set(ox + x, oy + y, c.r, c.g, c.b);
          }
        }
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (argc - 2) % 6 != 0) {
    std::fprintf(stderr, "usage: %s OUTPUT.bmp {INDEX NAME PATTERN-W PATTERN-H R,G,B FILE}...\n", argv[0]);
    return 2;
  }
  std::vector<Entry> entries;
  try {
    for (int i = 2; i < argc; i += 6) {
      Entry e;
      e.picture = kv::loadStoredPicture(argv[i + 5]);
      e.patternW = std::stoi(argv[i + 2]);
      e.patternH = std::stoi(argv[i + 3]);
      if (e.patternW <= 0) e.patternW = e.picture.width;
      if (e.patternH <= 0) e.patternH = e.picture.height;
      e.columns = e.picture.width / e.patternW;
      e.rows = e.picture.height / e.patternH;
      if (e.rows > 1) e.gap = kCellGap;
      int r = 0, g = 0, b = 0;
      if (std::sscanf(argv[i + 4], "%d,%d,%d", &r, &g, &b) != 3) throw std::runtime_error("bad key colour");
      e.key = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
      const int frames = e.columns * e.rows;
      e.label = std::string(argv[i]) + " " + argv[i + 1] + " " + std::to_string(e.picture.width) + "x" +
                std::to_string(e.picture.height) + " " + std::to_string(e.picture.bitCount) + "bit" +
                (frames > 1 ? " " + std::to_string(frames) + " frames" : "");
      entries.push_back(std::move(e));
    }
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "%s\n", ex.what());
    return 1;
  }
  // Widest first, so the long strips each take a row and the small pictures share one.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.width() > b.width(); });

  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  int x = kMargin, y = kMargin, rowHeight = 0;
  for (const Entry& e : entries) {
    if (x > kMargin && x + e.width() > kSheetWidth - kMargin) {
      x = kMargin;
      y += rowHeight + 2 * kMargin;
      rowHeight = 0;
    }
    places.push_back({x, y});
    x += e.width() + 2 * kMargin;
    rowHeight = std::max(rowHeight, e.height());
  }
  kv::RgbImage sheet(kSheetWidth, y + rowHeight + kMargin);
  for (size_t i = 0; i < sheet.rgb.size(); i += 3) {
    sheet.rgb[i] = 44;
    sheet.rgb[i + 1] = 48;
    sheet.rgb[i + 2] = 58;
  }
  kv::BuiltinGlyphs glyphs;
  for (size_t i = 0; i < entries.size(); ++i) drawEntry(sheet, glyphs, entries[i], places[i].x, places[i].y);
  if (!kv::writeBmp24(argv[1], sheet)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
