// Shows the matrix font the way the game draws it: every filled cell becomes an (s+1) x (s+1)
// square at (x + j*s, y + i*s), written column by column into a 5-6-5 screen, red 0xF800 and
// yellow 0xFFE0. Four panels: the intro captions, the level menu caption, the same caption after
// the title backdrop's wave has run over it for a while, and the whole alphabet at scales 1 to 4.
//   kv_caption_preview ALFABET OUTPUT.bmp
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/matrix_font.h"
#include "platform/support/rgb_image.h"

namespace {

constexpr int kWidth = 800, kHeight = 566;
constexpr uint16_t kRed = 0xF800, kYellow = 0xFFE0;

struct Screen {
  std::vector<uint16_t> pixels = std::vector<uint16_t>(kWidth * kHeight, 0);
  void put(int x, int y, uint16_t c) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels[y * kWidth + x] = c;
  }
  uint16_t get(int x, int y) const {
    return (x >= 0 && y >= 0 && x < kWidth && y < kHeight) ? pixels[y * kWidth + x] : 0;
  }
};

void drawGlyph(Screen& screen, int x, int y, int code, int s) {
  if (code < kv::kFirstGlyphCode || code >= kv::kFirstGlyphCode + kv::kGlyphCount || s < 0) return;
  const kv::MatrixGlyph& glyph = kv::matrixFont[code - kv::kFirstGlyphCode];
  for (int i = 1; i <= 20; ++i) {
    for (int j = 1; j <= 16; ++j) {
      const uint8_t cell = glyph[(i - 1) * 16 + (j - 1)];
      if (cell != kv::kRedCell && cell != kv::kYellowCell) continue;
      const uint16_t colour = cell == kv::kRedCell ? kRed : kYellow;
      for (int dx = 0; dx <= s; ++dx)
        for (int dy = 0; dy <= s; ++dy) screen.put(x + j * s + dx, y + i * s + dy, colour);
    }
  }
}

void caption(Screen& screen, int x, int y, const std::string& text, int s) {
  for (size_t n = 0; n < text.size(); ++n)
    drawGlyph(screen, x + s * 16 * static_cast<int>(n), y, text[n] == ' ' ? 64 : text[n], s);
}

// The title backdrop: a sine wave travelling right that recolours one pixel at its edge per
// column wherever its height changes (yellow becomes red, red yellow, anything else black).
void runBackdrop(Screen& screen, int ticks) {
  const int base = 258;
  long double phase = 1.0L;
  std::vector<int> current(800, 142), previous(800, 0);
  for (int t = 0; t < ticks; ++t) {
    phase += 0.005L;
    current[0] = static_cast<int>(std::nearbyint(std::sin(phase) * 45.0L));
    for (int x = 1; x <= 800; ++x) {
      const int h = current[x - 1];
      int px = 0, qy = 0;
      if (h < previous[x - 1]) {
        px = base + 99 + h;
        qy = base + 100 + h;
      } else if (h > previous[x - 1]) {
        px = base + 102 + h;
        qy = base + 101 + h;
      } else {
        continue;
      }
      const uint16_t p = screen.get(x, px);
      screen.put(x, qy, p == kYellow ? kRed : p == kRed ? kYellow : 0);
    }
    previous = current;
    for (int k = 798; k >= 0; --k) current[k + 1] = current[k];
  }
}

void paste(kv::RgbImage& out, const Screen& screen, int ox, int oy) {
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint16_t p = screen.pixels[y * kWidth + x];
      const uint8_t r5 = p >> 11, g6 = (p >> 5) & 63, b5 = p & 31;
      out.set(ox + x, oy + y, (r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s ALFABET OUTPUT.bmp\n", argv[0]);
    return 2;
  }
  try {
    kv::loadMatrixFont(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  Screen intro, menu, worn, alphabet;
  caption(intro, 160, 60, "ZOBRANTIKA", 2);
  caption(intro, 270, 160, "HUMBLY PRESENTS", 1);
  caption(intro, 10, 310, "KORVALUNDRIX", 4);
  caption(menu, 10, 310, "PICK A LEVEL", 4);
  caption(menu, 10, 420, "PICK A LEVEL", 3);
  caption(worn, 10, 310, "KORVALUNDRIX", 4);
  runBackdrop(worn, 900);
  caption(alphabet, 10, 4, "@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1);
  caption(alphabet, 10, 30, "ABCDEFGHIJKLMNOPQRSTUVWX", 2);
  caption(alphabet, 10, 76, "YZ", 2);
  caption(alphabet, 10, 122, "ABCDEFGHIJKLMNOP", 3);
  caption(alphabet, 10, 190, "QRSTUVWXYZ", 3);
  caption(alphabet, 10, 258, "ABCDEFGHIJKL", 4);
  caption(alphabet, 10, 346, "MNOPQRSTUVWX", 4);
  caption(alphabet, 10, 434, "YZ", 4);

  kv::RgbImage out(2 * kWidth + 8, 2 * kHeight + 8);
  for (size_t i = 0; i < out.rgb.size(); i += 3) out.rgb[i + 2] = 90;  // blue seams between panels
  paste(out, intro, 0, 0);
  paste(out, menu, kWidth + 8, 0);
  paste(out, worn, 0, kHeight + 8);
  paste(out, alphabet, kWidth + 8, kHeight + 8);
  if (!kv::writeBmp24(argv[2], out)) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
