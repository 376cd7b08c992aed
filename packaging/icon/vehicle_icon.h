#pragma once
// The game's icon: the vehicle as the player sees it at a level's start (the body resting on its six
// wheels) on a night-sky tile with a strip of ground, drawn from the game's own pictures at any size.
#include <cstdint>
#include <vector>

#include "gfx/dib_format.h"

namespace kv {

// Straight (not premultiplied) red, green, blue, alpha per pixel, rows top to bottom.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
  const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// A picture with its transparent colour, as the image list keeps it.
struct KeyedPicture {
  DibPicture picture;
  Rgb8 key;
  int frameWidth = 0;  // the first frame is drawn; 0 for a picture of one frame
};

// The body (first frame) over the six wheels, laid out as they stand on flat ground.
struct VehicleArt {
  KeyedPicture body;
  KeyedPicture wheel;
};

// The square icon of size x size pixels. Throws std::invalid_argument for a size below 16 or art
// whose wheel or body is empty.
RgbaImage drawVehicleIcon(const VehicleArt& art, int size);

}  // namespace kv
