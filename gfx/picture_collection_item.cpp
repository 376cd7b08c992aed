// One image-list entry: its surfaces, its patterns and the pattern draw.
#include <array>
#include <string>

#include "gfx/dd_surface.h"
#include "gfx/dxdraw.h"
#include "gfx/image_list.h"
#include "gfx/pattern_grid.h"
#include "gfx/picture_collection_item.h"
#include "gfx/turbopixels.h"
#include "platform/components/component_errors.h"
#include "platform/seam/video_device.h"

namespace kv {

namespace {

uint32_t colorOf(const Rgb8& c) {
  return c.r | (c.g << 8) | (c.b << 16);
}

// Copies the picture's rectangle into the surface, converting every pixel with the pixel layer's
// packing, so that pixels of the transparent colour become exactly the key.
void copyPicture(const DibPicture& picture, const TRect& from, TDirectDrawSurface& to) {
  const int32_t is555 = to.Layout() == PixelLayout::Rgb555 ? 1 : 0;
  std::array<uint16_t, 256> palette{};
  if (picture.bitCount == 8) {
    for (size_t i = 0; i < palette.size() && i < picture.palette.size(); ++i)
      palette[i] = packColor(colorOf(picture.palette[i]), is555);
  }
  for (int32_t y = 0; y < from.height(); ++y) {
    uint16_t* row = to.Row(y);
    const size_t start = static_cast<size_t>(from.Top + y) * static_cast<size_t>(picture.width) + from.Left;
    for (int32_t x = 0; x < from.width(); ++x) {
      row[x] = picture.bitCount == 8 ? palette[picture.indices[start + x]]
                                     : packColor(colorOf(picture.pixels[start + x]), is555);
    }
  }
}

}  // namespace

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection& collection) : collection_(&collection) {
  collection.attach(*this);
}

TPictureCollectionItem::~TPictureCollectionItem() {
  ReleaseSurfaces();
  // An entry that outlived its collection was detached when the collection went.
  if (hashEntry_.attached) collection_->detach(*this);
}

const std::string& TPictureCollectionItem::Name() const {
  return hashEntry_.link.name;
}

void TPictureCollectionItem::SetName(const std::string& name) {
  if (hashEntry_.attached) {
    collection_->rename(*this, name);
  } else {
    hashEntry_.link.name = name;
  }
}

int32_t TPictureCollectionItem::Width() const {
  return PatternWidth > 0 ? PatternWidth : Picture.width;
}

int32_t TPictureCollectionItem::Height() const {
  return PatternHeight > 0 ? PatternHeight : Picture.height;
}

int32_t TPictureCollectionItem::PatternCount() const {
  return static_cast<int32_t>(patterns_.size());
}

bool TPictureCollectionItem::Initialized() const {
  return initialized_;
}

void TPictureCollectionItem::ReleaseSurfaces() {
  patterns_.clear();
  surfaces_.clear();
}

void TPictureCollectionItem::Restore() {
  if (Picture.width <= 0 || Picture.height <= 0) return;
  if (!initialized_) {
    if (!hashEntry_.attached || !collection_->Initialized()) return;
    initialized_ = true;
  }
  TDXDraw* display = hashEntry_.attached ? collection_->DXDraw() : nullptr;
  ReleaseSurfaces();
  if (display != nullptr) build(*display);
}

void TPictureCollectionItem::build(TDXDraw& display) {
  const PatternGrid grid =
      layoutPatterns(Picture.width, Picture.height, Width(), Height(), SkipWidth, SkipHeight, SystemMemory);
  const PixelLayout layout = display.Video().pixelLayout();
  const uint16_t key = packColor(TransparentColor & 0xFFFFFF, layout == PixelLayout::Rgb555 ? 1 : 0);
  surfaces_.reserve(grid.tiles.size());
  for (const TRect& tile : grid.tiles) {
    auto surface = std::make_unique<TDirectDrawSurface>(display.DDraw());
    // Video memory first, then one more try in system memory.
    if (!surface->Create(tile.width(), tile.height(), layout) &&
        !surface->Create(tile.width(), tile.height(), layout)) {
      ReleaseSurfaces();
      throw EDirectDrawSurfaceError(formatMessage("%s cannot be made", std::string("Surface")));
    }
    copyPicture(Picture, tile, *surface);
    surface->SetColorKey(key);
    surfaces_.push_back(std::move(surface));
  }
  patterns_.reserve(grid.patterns.size());
  std::vector<std::vector<TRect>> rectsOfTile(surfaces_.size());
  for (const PatternPlace& p : grid.patterns) {
    patterns_.push_back({p.rect, surfaces_[p.tile].get()});
    rectsOfTile[static_cast<size_t>(p.tile)].push_back(p.rect);
  }
  for (size_t t = 0; t < surfaces_.size(); ++t) surfaces_[t]->SetKeyedPatterns(std::move(rectsOfTile[t]));
}

TRect TPictureCollectionItem::PatternRect(int32_t patternIndex) const {
  if (patternIndex < 0 || patternIndex >= PatternCount()) return TRect{};
  return patterns_[patternIndex].rect;
}

const TDirectDrawSurface* TPictureCollectionItem::PatternSurface(int32_t patternIndex) const {
  if (patternIndex < 0 || patternIndex >= PatternCount()) return nullptr;
  return patterns_[patternIndex].surface;
}

void TPictureCollectionItem::Draw(TDirectDrawSurface* dest, int32_t x, int32_t y, int32_t patternIndex) {
  if (dest == nullptr || !initialized_ || patternIndex < 0 || patternIndex >= PatternCount()) return;
  const Pattern& pattern = patterns_[patternIndex];
  if (pattern.surface == nullptr || x > dest->Width() || y > dest->Height()) return;
  const TDirectDrawSurface& src = *pattern.surface;

  // Both rectangles in 64 bits: a far-off position must not wrap while the edges are cut.
  int64_t sl = pattern.rect.Left, st = pattern.rect.Top, sr = pattern.rect.Right, sb = pattern.rect.Bottom;
  int64_t dl = x, dt = y, dr = dl + (sr - sl), db = dt + (sb - st);
  // Left and top: the destination's edges, then the source surface's.
  if (dl < 0) sl -= dl, dl = 0;
  if (dt < 0) st -= dt, dt = 0;
  if (sl < 0) dl -= sl, sl = 0;
  if (st < 0) dt -= st, st = 0;
  // Right and bottom: the destination's edges, then the source surface's.
  if (dr > dest->Width()) sr -= dr - dest->Width(), dr = dest->Width();
  if (db > dest->Height()) sb -= db - dest->Height(), db = dest->Height();
  if (sr > src.Width()) dr -= sr - src.Width(), sr = src.Width();
  if (sb > src.Height()) db -= sb - src.Height(), sb = src.Height();
  if (sr <= sl || sb <= st || dr <= dl || db <= dt) return;

  const TRect from{static_cast<int32_t>(sl), static_cast<int32_t>(st), static_cast<int32_t>(sr),
                   static_cast<int32_t>(sb)};
  dest->BltFast(static_cast<int32_t>(dl), static_cast<int32_t>(dt), src, from, Transparent);
}

}  // namespace kv
