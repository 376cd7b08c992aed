#pragma once
// The matrix font of the large captions: 27 glyphs (codes 64 to 90) of 16 x 20 cells, one byte a
// cell; 17 draws red, 34 draws yellow, anything else nothing.
#include <array>
#include <cstdint>
#include <string>

namespace kv {

constexpr int kGlyphCount = 27;
constexpr int kGlyphCells = 320;  // 16 columns x 20 rows, row by row
constexpr int kFirstGlyphCode = 64;
constexpr uint8_t kRedCell = 17;
constexpr uint8_t kYellowCell = 34;

using MatrixGlyph = std::array<uint8_t, kGlyphCells>;
extern std::array<MatrixGlyph, kGlyphCount> matrixFont;

// Reads the font file cell by cell. A short file does not fail: past its end every cell takes the
// last byte read (0 when the file is empty). Raises EFOpenError when the file cannot be opened or
// reading it fails.
void loadMatrixFont(const std::string& path);

}  // namespace kv
