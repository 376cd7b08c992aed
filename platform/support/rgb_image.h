#pragma once
// A plain 24-bit picture, top row first, and its BMP file form.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // red, green, blue per pixel, rows top to bottom

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}
  void set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
  }
  const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The bytes of an uncompressed 24-bit BMP file.
std::vector<uint8_t> encodeBmp24(const RgbImage& image);
// Writes an uncompressed 24-bit BMP; false when the file cannot be written.
bool writeBmp24(const std::string& path, const RgbImage& image);
// Reads a 24-bit BMP written by writeBmp24 (used by tests); empty image on failure.
RgbImage readBmp24(const std::string& path);

}  // namespace kv
