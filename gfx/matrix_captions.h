#pragma once
// Large captions in the matrix font: every filled cell of a glyph becomes a square of red or yellow
// pixels, (scale + 1) pixels wide, so neighbouring squares overlap by one pixel and a caption can
// be drawn at any scale. Drawing goes through the pixel layer: the surface must be locked.
#include <cstdint>
#include <string>

namespace kv {

// One glyph with its reference corner at (x, y); the squares start one scale step in from it.
// Codes outside 64..90 have no glyph and draw nothing.
void drawMatrixGlyph(int32_t x, int32_t y, uint8_t code, int32_t scale);

// A line of text: a space draws glyph 64, each character advances 16 x scale pixels.
void drawMatrixText(int32_t x, int32_t y, const std::string& text, int32_t scale);

}  // namespace kv
