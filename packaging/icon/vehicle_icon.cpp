#include "packaging/icon/vehicle_icon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "platform/support/rounding.h"

namespace kv {

namespace {

// Where the parts stand on flat ground, in the pictures' pixels: the wheels' left edges follow the
// body's at 12 * i - 10 for wheel i, twenty rows lower, and the body is drawn over them.
constexpr int kWheelCount = 6;
constexpr int kWheelStep = 12;
constexpr int kWheelShift = -10;
constexpr int kWheelDrop = 20;

// The tile, in units of the icon's side.
constexpr double kInset = 0.03;
constexpr double kCorner = 0.16;
constexpr double kGroundTop = 0.72;
constexpr double kVehicleWidth = 0.84;

struct Colour {
  double r = 0, g = 0, b = 0, a = 0;
};

Colour opaque(double r, double g, double b) {
  return {r, g, b, 1};
}

Colour mix(Colour p, Colour q, double t) {
  return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

// The vehicle in its own pixels: colour and whether the pixel is drawn.
struct Sprite {
  int width = 0, height = 0;
  std::vector<Rgb8> colour;
  std::vector<bool> drawn;

  void put(const KeyedPicture& part, int left, int top) {
    const int w = part.frameWidth > 0 ? std::min(part.frameWidth, part.picture.width) : part.picture.width;
    for (int y = 0; y < part.picture.height; ++y) {
      for (int x = 0; x < w; ++x) {
        const Rgb8 c = part.picture.at(x, y);
        if (c == part.key) continue;
        const size_t i = static_cast<size_t>(top + y) * width + (left + x);
        colour[i] = c;
        drawn[i] = true;
      }
    }
  }
};

int partWidth(const KeyedPicture& part) {
  return part.frameWidth > 0 ? std::min(part.frameWidth, part.picture.width) : part.picture.width;
}

Sprite assemble(const VehicleArt& art) {
  const int bodyW = partWidth(art.body), wheelW = partWidth(art.wheel);
  if (bodyW <= 0 || art.body.picture.height <= 0 || wheelW <= 0 || art.wheel.picture.height <= 0) {
    throw std::invalid_argument("the vehicle's pictures are empty");
  }
  // The parts' left edges relative to the body's; the sprite spans them all.
  int left = 0, right = bodyW;
  for (int i = 1; i <= kWheelCount; ++i) {
    left = std::min(left, kWheelStep * i + kWheelShift);
    right = std::max(right, kWheelStep * i + kWheelShift + wheelW);
  }
  Sprite s;
  s.width = right - left;
  s.height = std::max(art.body.picture.height, kWheelDrop + art.wheel.picture.height);
  s.colour.assign(static_cast<size_t>(s.width) * s.height, Rgb8{});
  s.drawn.assign(s.colour.size(), false);
  for (int i = 1; i <= kWheelCount; ++i) s.put(art.wheel, kWheelStep * i + kWheelShift - left, kWheelDrop);
  s.put(art.body, -left, 0);
  return s;
}

bool insideTile(double x, double y) {
  const double lo = kInset + kCorner, hi = 1 - kInset - kCorner;
  const double cx = std::clamp(x, lo, hi), cy = std::clamp(y, lo, hi);
  const double dx = x - cx, dy = y - cy;
  return x >= kInset && x < 1 - kInset && y >= kInset && y < 1 - kInset &&
         dx * dx + dy * dy <= kCorner * kCorner;
}

// A few stars of the game's sky, each a small square.
struct Star {
  double x, y;
  Colour c;
};
const std::array<Star, 8> kStars{{{0.17, 0.15, opaque(236, 236, 255)},
                                  {0.41, 0.09, opaque(255, 240, 160)},
                                  {0.69, 0.19, opaque(200, 220, 255)},
                                  {0.85, 0.11, opaque(236, 236, 255)},
                                  {0.29, 0.31, opaque(255, 200, 200)},
                                  {0.57, 0.33, opaque(236, 236, 255)},
                                  {0.11, 0.45, opaque(200, 255, 220)},
                                  {0.81, 0.41, opaque(255, 240, 160)}}};
constexpr double kStarSize = 0.022;

Colour background(double x, double y) {
  if (!insideTile(x, y)) return {};
  if (y >= kGroundTop) {
    // The ground: a lit top edge, then the ground colour darkening downwards.
    if (y < kGroundTop + 0.03) return opaque(150, 142, 30);
    return mix(opaque(90, 85, 0), opaque(52, 48, 0), (y - kGroundTop) / (1 - kGroundTop));
  }
  for (const Star& s : kStars) {
    if (x >= s.x && x < s.x + kStarSize && y >= s.y && y < s.y + kStarSize) return s.c;
  }
  return mix(opaque(4, 6, 22), opaque(24, 32, 76), y / kGroundTop);
}

}  // namespace

RgbaImage drawVehicleIcon(const VehicleArt& art, int size) {
  if (size < 16) throw std::invalid_argument("an icon needs at least 16 pixels a side");
  const Sprite sprite = assemble(art);
  // One sprite pixel in icon units; the wheels sink one row into the ground as they do in the game.
  const double unit = kVehicleWidth / sprite.width;
  const double left = (1 - kVehicleWidth) / 2;
  const double top = kGroundTop + unit - sprite.height * unit;

  const int samples = size <= 64 ? 6 : 4;  // per pixel and axis
  RgbaImage image(size, size);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      Colour sum;  // premultiplied
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const double x = (px + (sx + 0.5) / samples) / size, y = (py + (sy + 0.5) / samples) / size;
          Colour c = background(x, y);
          const int vx = static_cast<int>(std::floor((x - left) / unit));
          const int vy = static_cast<int>(std::floor((y - top) / unit));
          if (c.a > 0 && vx >= 0 && vy >= 0 && vx < sprite.width && vy < sprite.height) {
            const size_t i = static_cast<size_t>(vy) * sprite.width + vx;
            if (sprite.drawn[i]) c = opaque(sprite.colour[i].r, sprite.colour[i].g, sprite.colour[i].b);
          }
          sum.r += c.r * c.a;
          sum.g += c.g * c.a;
          sum.b += c.b * c.a;
          sum.a += c.a;
        }
      }
      uint8_t* out = &image.rgba[(static_cast<size_t>(py) * size + px) * 4];
      if (sum.a <= 0) continue;
      out[0] = static_cast<uint8_t>(roundEven(sum.r / sum.a));
      out[1] = static_cast<uint8_t>(roundEven(sum.g / sum.a));
      out[2] = static_cast<uint8_t>(roundEven(sum.b / sum.a));
      out[3] = static_cast<uint8_t>(roundEven(255 * sum.a / (samples * samples)));
    }
  }
  return image;
}

}  // namespace kv
