#pragma once
// One image-list entry: a named picture cut into equal patterns (animation frames, font glyphs),
// converted into the display's 16-bit format whenever the display initialises or restores, and
// drawn by pattern with one colour left out as transparent.
//
// The members declared here are the contract the sprite engine and the text renderers use; the
// implementation may add to them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/dib_format.h"
#include "gfx/rect.h"
#include "platform/components/hash_collection.h"

namespace kv {

class TDXDraw;
class TDirectDrawSurface;
class TPictureCollection;

class TPictureCollectionItem {
 public:
  // Joins the collection as its last entry. Entries made with TPictureCollection::Add belong to the
  // collection; one made directly belongs to its maker and leaves the collection when destroyed.
  explicit TPictureCollectionItem(TPictureCollection& collection);
  ~TPictureCollectionItem();
  TPictureCollectionItem(const TPictureCollectionItem&) = delete;
  TPictureCollectionItem& operator=(const TPictureCollectionItem&) = delete;

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
  // The patterns made at the last rebuild (0 while the entry has no surfaces).
  int32_t PatternCount() const;
  bool Initialized() const;

  // Draws pattern `patternIndex` with its top-left corner at (x, y) of dest, clipped, with the
  // transparent colour left out. Draws nothing before initialisation or for an index out of range.
  void Draw(TDirectDrawSurface* dest, int32_t x, int32_t y, int32_t patternIndex);

  // The entry's position in its collection (-1 once it has left it).
  int32_t Index() const { return hashEntry_.link.index; }

  // Copies the picture into fresh surfaces in the display's pixel format and lays out the patterns.
  // Without a picture nothing happens; an entry not yet initialised initialises first when its
  // collection's display is initialised. Raises EDirectDrawSurfaceError when a surface cannot be made.
  void Restore();
  // Drops the patterns and surfaces.
  void ReleaseSurfaces();

  // For tests and tools: the source rectangle and surface of a pattern (an empty rectangle and nullptr for an
  // index out of range), and the number of surfaces the picture was cut into.
  TRect PatternRect(int32_t patternIndex) const;
  const TDirectDrawSurface* PatternSurface(int32_t patternIndex) const;
  int32_t SurfaceCount() const { return static_cast<int32_t>(surfaces_.size()); }

 private:
  friend class TPictureCollection;
  friend class HashCollection<TPictureCollectionItem>;

  struct Pattern {
    TRect rect;
    TDirectDrawSurface* surface = nullptr;
  };

  void build(TDXDraw& display);

  TPictureCollection* collection_;
  HashCollectionEntry hashEntry_;
  bool initialized_ = false;
  std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
  std::vector<Pattern> patterns_;
};

}  // namespace kv
