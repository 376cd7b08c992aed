#pragma once
// Pictures drawn as text, one character per pixel. A source reads:
//
//   # a comment (only outside the drawing blocks)
//   size W H                 the size of one frame
//   depth 24                 stored bits per pixel: 24 or 32
//   frames N                 optional (default 1): N frames side by side, W*N pixels wide
//   key C R G B              the transparent colour, drawn with character C
//   colour C R G B           a legend entry
//   cycle CHARS              running colours: in frame f a pixel drawn with CHARS[i] takes the
//                            colour of CHARS[(i + f) mod n], so the colours move one place
//                            towards the start of CHARS per frame
//   art                      followed by exactly H rows of W characters: the base drawing
//   patch F X Y              followed by rows up to the next empty line: changes to frame F only,
//                            top-left at (X, Y) of the frame; '-' keeps the base pixel
//
// Every frame starts as the base drawing; cycles apply first, then the frame's patches. Legend
// characters may be anything but space, '-' and '#'. A drawn colour too close to the key (one that
// would turn transparent on a 16-bit display) is refused.
#include <string>

#include "gfx/dib_format.h"

namespace kv {

// Builds the picture; `sourceName` only labels error messages (ArtSourceError).
DibPicture parsePixelArt(const std::string& text, const std::string& sourceName);

}  // namespace kv
