#pragma once
// How a picture is cut into patterns: the surfaces (tiles) it is copied into and, for every pattern,
// the tile holding it and its rectangle inside that tile.
#include <cstdint>
#include <vector>

#include "gfx/rect.h"

namespace kv {

struct PatternPlace {
  int32_t tile = 0;  // index into PatternGrid::tiles
  TRect rect;        // inside the tile's surface
};

struct PatternGrid {
  std::vector<TRect> tiles;  // in picture coordinates; each becomes one surface
  std::vector<PatternPlace> patterns;
};

// patternWidth and patternHeight are the entry's derived sizes (the picture's own size when the
// stored pattern size is 0). A pattern as large as the picture gives one tile and one pattern.
// Otherwise the patterns form a grid of cells patternWidth + skipWidth wide and patternHeight +
// skipHeight tall, numbered row by row, partial cells at the right and bottom dropped. With
// systemMemory the whole picture is one tile; otherwise tiles are whole multiples of the cell size,
// about 2048 pixels or the grid's size, whichever is smaller.
PatternGrid layoutPatterns(int32_t pictureWidth, int32_t pictureHeight, int32_t patternWidth,
                           int32_t patternHeight, int32_t skipWidth, int32_t skipHeight, bool systemMemory);

}  // namespace kv
