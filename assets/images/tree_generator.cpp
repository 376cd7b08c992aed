#include "assets/images/tree_generator.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "assets/images/art_text.h"

namespace kv {

namespace {

enum Ink : uint8_t { kNone, kBarkLight, kBark, kBarkDark, kBarkOutline, kLeafLight, kLeaf, kLeafDark };

const char* const kInkNames[] = {"",           "bark-light", "bark",     "bark-dark", "bark-outline",
                                 "leaf-light", "leaf",       "leaf-dark"};

// A small generator of our own, so the tree does not change with the standard library.
class Growth {
 public:
  explicit Growth(uint32_t seed) : state_(seed ? seed : 1) {}
  double uniform(double low, double high) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return low + (high - low) * (state_ / 4294967296.0);
  }

 private:
  uint32_t state_;
};

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), ink_(static_cast<size_t>(w) * h, kNone), width_(ink_.size(), 0) {}
  int width() const { return w_; }
  int height() const { return h_; }
  uint8_t ink(int x, int y) const { return inside(x, y) ? ink_[index(x, y)] : uint8_t{kNone}; }
  uint8_t strokeWidth(int x, int y) const { return inside(x, y) ? width_[index(x, y)] : 0; }
  void put(int x, int y, uint8_t ink, uint8_t strokeWidth = 0) {
    if (!inside(x, y)) return;
    ink_[index(x, y)] = ink;
    width_[index(x, y)] = strokeWidth;
  }

 private:
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  size_t index(int x, int y) const { return static_cast<size_t>(y) * w_ + x; }
  int w_, h_;
  std::vector<uint8_t> ink_, width_;
};

// One stretch of wood from (x0, y0) to (x1, y1), `r0` and `r1` its half widths at the ends, lit
// from the upper left.
void paintWood(Canvas& c, double x0, double y0, double x1, double y1, double r0, double r1) {
  const double lx = -0.6, ly = -0.8;  // towards the light
  const double dx = x1 - x0, dy = y1 - y0;
  const double len2 = dx * dx + dy * dy;
  const double rMax = std::max(r0, r1) + 1;
  const int xa = static_cast<int>(std::floor(std::min(x0, x1) - rMax));
  const int xb = static_cast<int>(std::ceil(std::max(x0, x1) + rMax));
  const int ya = static_cast<int>(std::floor(std::min(y0, y1) - rMax));
  const int yb = static_cast<int>(std::ceil(std::max(y0, y1) + rMax));
  for (int y = ya; y <= yb; ++y) {
    for (int x = xa; x <= xb; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      const double ox = px - (x0 + t * dx), oy = py - (y0 + t * dy);
      const double r = r0 + (r1 - r0) * t;
      const double dist = std::sqrt(ox * ox + oy * oy);
      if (dist > std::max(r, 0.5)) continue;
      const uint8_t stroke = static_cast<uint8_t>(std::lround(2 * r));
      uint8_t ink = kBark;
      if (r < 1.0) {
        ink = kBarkDark;
      } else {
        // Which side of the stretch the pixel lies on, measured across it only, so that where
        // two stretches meet the shading runs on without a seam.
        const double len = std::sqrt(len2);
        const double nx = len > 0 ? -dy / len : 1, ny = len > 0 ? dx / len : 0;
        const double across = (ox * nx + oy * ny) / r;       // -1 .. +1 across the wood
        const double facing = across * (nx * lx + ny * ly);  // +1 on the lit side
        if (facing > 0.2)
          ink = kBarkLight;
        else if (facing < -0.22)
          ink = kBarkDark;
        // short dark streaks of bark on the trunk and the main limbs
        if (ink == kBark && stroke >= 6 && (x * 7 + (y / 4) * 13) % 11 == 0) ink = kBarkDark;
      }
      if (c.strokeWidth(x, y) > stroke) continue;  // thinner wood grows out of thicker, not over it
      c.put(x, y, ink, stroke);
    }
  }
}

void leafCluster(Canvas& c, Growth& g, double x, double y, double size) {
  const int blobs = 3 + static_cast<int>(g.uniform(0, 3));
  for (int b = 0; b < blobs; ++b) {
    const double cx = x + g.uniform(-size, size), cy = y + g.uniform(-size, size * 0.6);
    const double r = g.uniform(1.2, 2.3);
    for (int yy = static_cast<int>(cy - r - 1); yy <= cy + r + 1; ++yy) {
      for (int xx = static_cast<int>(cx - r - 1); xx <= cx + r + 1; ++xx) {
        const double ox = xx + 0.5 - cx, oy = yy + 0.5 - cy;
        const double d = std::sqrt(ox * ox + oy * oy);
        if (d > r) continue;
        uint8_t ink = kLeaf;
        if (ox + oy < -0.9 * r)
          ink = kLeafLight;
        else if (ox + oy > 0.7 * r)
          ink = kLeafDark;
        c.put(xx, yy, ink);
      }
    }
  }
}

struct Branching {
  Canvas& canvas;
  Growth& growth;
  double margin;

  bool outside(double x, double y) const { return x < margin || x > canvas.width() - margin || y < margin; }

  // A limb from (x, y) heading `angle` (radians, 0 = right, -pi/2 = up), bending a little as it
  // grows, then forking until the twigs are thin. Near the edges of the picture a limb turns
  // back towards the middle, and one that still reaches an edge stops there with its leaves.
  void limb(double x, double y, double angle, double length, double radius, int depth) {
    const int pieces = std::max(2, static_cast<int>(length / 6));
    const double step = length / pieces;
    const double endRadius = radius * 0.7;
    bool stopped = false;
    for (int i = 0; i < pieces; ++i) {
      angle += growth.uniform(-0.14, 0.14);
      angle += 0.05 * (-std::numbers::pi / 2 - angle);  // twigs lean back towards the sky
      double nx = x + std::cos(angle) * step, ny = y + std::sin(angle) * step;
      if (outside(nx, ny)) {
        const double towardsMiddle = std::atan2(margin * 3 - y, canvas.width() / 2.0 - x);
        angle += 0.6 * (towardsMiddle - angle);
        nx = x + std::cos(angle) * step;
        ny = y + std::sin(angle) * step;
        if (outside(nx, ny)) {
          stopped = true;
          break;
        }
      }
      const double r0 = radius + (endRadius - radius) * i / pieces;
      const double r1 = radius + (endRadius - radius) * (i + 1) / pieces;
      paintWood(canvas, x, y, nx, ny, r0, r1);
      x = nx;
      y = ny;
    }
    if (stopped || depth == 0 || endRadius < 0.4) {
      leafCluster(canvas, growth, x, y, 2.5);
      return;
    }
    const int forks = growth.uniform(0, 1) < 0.3 ? 3 : 2;
    const double spread = growth.uniform(0.32, 0.55);
    for (int k = 0; k < forks; ++k) {
      const double side = forks == 2 ? (k == 0 ? -1 : 1) : (k - 1);
      const double a = angle + side * spread + growth.uniform(-0.1, 0.1);
      const double share = side == 0 ? 0.82 : growth.uniform(0.66, 0.8);
      limb(x, y, a, length * share, endRadius * (side == 0 ? 0.9 : 0.8), depth - 1);
    }
  }
};

// Dark rims on the thicker wood so the tree reads against any sky.
void outlineWood(Canvas& c) {
  std::vector<std::pair<int, int>> rim;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const uint8_t ink = c.ink(x, y);
      if (ink < kBarkLight || ink > kBarkDark || c.strokeWidth(x, y) < 4) continue;
      if (!c.ink(x - 1, y) || !c.ink(x + 1, y) || !c.ink(x, y - 1) || !c.ink(x, y + 1)) rim.push_back({x, y});
    }
  }
  for (auto [x, y] : rim) c.put(x, y, kBarkOutline, c.strokeWidth(x, y));
}

}  // namespace

DibPicture growTree(const std::string& text, const std::string& source) {
  int w = 0, h = 0;
  uint32_t seed = 0;
  bool haveKey = false, haveSeed = false;
  Rgb8 key;
  std::map<std::string, Rgb8> colours;
  for (const ArtLine& l : splitArtLines(text)) {
    const std::vector<std::string> words = artWords(l.text);
    if (words.empty() || words[0][0] == '#') continue;
    if (words[0] == "size" && words.size() == 3) {
      w = artNumber(words[1], 16, 4096, source, l.number);
      h = artNumber(words[2], 16, 4096, source, l.number);
    } else if (words[0] == "key" && words.size() == 4) {
      key = artColour(words, 1, source, l.number);
      haveKey = true;
    } else if (words[0] == "seed" && words.size() == 2) {
      seed = static_cast<uint32_t>(artNumber(words[1], 1, 2147483647, source, l.number));
      haveSeed = true;
    } else if (words[0] == "colour" && words.size() == 5) {
      colours[words[1]] = artColour(words, 2, source, l.number);
    } else {
      artFail(source, l.number, "cannot understand '" + l.text + "'");
    }
  }
  if (w == 0 || !haveKey || !haveSeed) artFail(source, 1, "the tree needs size, key and seed");
  Rgb8 palette[8] = {key};
  for (int i = 1; i < 8; ++i) {
    auto it = colours.find(kInkNames[i]);
    if (it == colours.end()) artFail(source, 1, std::string("colour ") + kInkNames[i] + " is missing");
    if (tooCloseToKey(it->second, key))
      artFail(source, 1, std::string(kInkNames[i]) + " would vanish into the key");
    palette[i] = it->second;
  }

  Canvas canvas(w, h);
  Growth growth(seed);
  Branching grow{canvas, growth, 4.0};
  const double up = -std::numbers::pi / 2;
  const double foot = w / 2.0;
  // The trunk stands in the bottom of the picture, where the ground hides it (the ground line
  // crosses about three quarters down), and forks into the main limbs half way up.
  const double forkY = h * 0.5;
  constexpr int kTrunkPieces = 16;
  auto trunkX = [&](double t) { return foot + 1.5 * std::sin(t * 2.6) - 0.5; };
  auto trunkY = [&](double t) { return h + 2 - t * (h + 2 - forkY); };
  for (int i = 0; i < kTrunkPieces; ++i) {
    const double t0 = static_cast<double>(i) / kTrunkPieces, t1 = static_cast<double>(i + 1) / kTrunkPieces;
    paintWood(canvas, trunkX(t0), trunkY(t0), trunkX(t1), trunkY(t1), 6.8 - 2.0 * t0, 6.8 - 2.0 * t1);
  }
  grow.limb(foot - 1, forkY + 2, up - 0.5, h * 0.13, 3.4, 5);
  grow.limb(foot + 1, forkY, up + 0.06, h * 0.16, 4.0, 5);
  grow.limb(foot + 2, forkY + 4, up + 0.55, h * 0.12, 3.0, 5);
  // low branches off the trunk
  grow.limb(foot - 2, h * 0.62, up - 1.0, h * 0.09, 2.2, 4);
  grow.limb(foot + 3, h * 0.57, up + 0.9, h * 0.07, 1.8, 3);
  outlineWood(canvas);

  DibPicture p;
  p.width = w;
  p.height = h;
  p.bitCount = 24;
  p.pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.pixels[static_cast<size_t>(y) * w + x] = palette[canvas.ink(x, y)];
  return p;
}

}  // namespace kv
