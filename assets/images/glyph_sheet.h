#pragma once
// The HUD font: glyph shapes drawn as text and inked in one style, stored as an 8-bit picture of
// equal cells. A source reads:
//
//   cell W H                 size of one cell
//   grid C R                 C cells across, R rows of cells
//   key R G B                the transparent colour (palette entry 0); empty cells are all key
//   ink outline|light|body|shade R G B
//   glyph NAME CELL...       followed by H rows of W characters, '#' for the letter, '.' for none;
//                            the glyph is put into every listed cell (0-based, row by row)
//
// The shape is filled with the body colour, lit along its top edges and shaded along its bottom
// and right edges; around it runs a dark outline, one pixel wide and two at the bottom right,
// which gives the letters a cartoon drop shadow. The outline must fit inside the cell.
#include <string>

#include "gfx/dib_format.h"

namespace kv {

// Builds the 8-bit picture; `sourceName` only labels error messages (ArtSourceError).
DibPicture parseGlyphSheet(const std::string& text, const std::string& sourceName);

}  // namespace kv
