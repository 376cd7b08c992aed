#pragma once
// TDXImageList: named pictures, each cut into equal patterns (animation frames, font glyphs),
// converted into the display's 16-bit format whenever the display initialises or restores, and
// drawn by pattern with one colour left out as transparent.
//
// The members declared here are the contract the sprite engine and the text renderers use; the
// implementation may add to them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/dib_format.h"

namespace kv {

class TDXDraw;
class TDirectDrawSurface;
class TPictureCollection;

class TPictureCollectionItem {
 public:
  explicit TPictureCollectionItem(TPictureCollection& collection);
  ~TPictureCollectionItem();

  const std::string& Name() const;
  void SetName(const std::string& name);

  DibPicture Picture;         // the source image
  int32_t PatternWidth = 0;   // 0: the whole picture's width
  int32_t PatternHeight = 0;  // 0: the whole picture's height
  int32_t SkipWidth = 0;
  int32_t SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  uint32_t TransparentColor = 0;  // 0x00BBGGRR

  // PatternWidth (or PatternHeight) when above 0, else the picture's width (or height).
  int32_t Width() const;
  int32_t Height() const;
  int32_t PatternCount() const;
  bool Initialized() const;

  // Draws pattern `patternIndex` with its top-left corner at (x, y) of dest, clipped, with the
  // transparent colour left out. Draws nothing before initialisation or for an index out of range.
  void Draw(TDirectDrawSurface* dest, int32_t x, int32_t y, int32_t patternIndex);
};

}  // namespace kv
