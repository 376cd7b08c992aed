#pragma once
// The matrix font of the large captions, drawn as text. A source holds 27 glyphs, one for each
// code from 64 ('@', the glyph a space draws) to 90 ('Z'), in any order:
//
//   glyph C                  C is the character, '@' or 'A' to 'Z'
//   ................         followed by 20 rows of 16 cells: '.' empty, 'R' red, 'Y' yellow
//
// Lines starting with '#' outside a glyph are comments.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The font file: 27 glyphs of 320 cell bytes (17 red, 34 yellow, 0 empty), code 64 first.
// Throws ArtSourceError naming the line when the source is incomplete or malformed.
std::vector<uint8_t> parseMatrixFontSource(const std::string& text, const std::string& sourceName);

}  // namespace kv
