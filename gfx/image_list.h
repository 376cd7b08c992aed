#pragma once
// TDXImageList: named pictures, each cut into equal patterns, converted into the display's 16-bit
// format whenever the display initialises or restores.
#include <array>
#include <cstdint>
#include <string>

#include "gfx/picture_collection_item.h"
#include "platform/components/hash_collection.h"

namespace kv {

class TDXDraw;

// The entries of an image list in order, with lookup by name (Items, Count, IndexOf, Delete, Clear
// come from HashCollection). It follows the display the list serves.
class TPictureCollection : public HashCollection<TPictureCollectionItem> {
 public:
  TPictureCollection() = default;
  ~TPictureCollection();

  // A new entry at the end, owned by the collection.
  TPictureCollectionItem& Add();

  // 256 palette entries of 4 bytes; carried with the list, used by nothing.
  std::array<uint8_t, 1024> ColorTable{};

  // The display the entries were initialised for; nullptr when finalised.
  TDXDraw* DXDraw() const { return dxdraw_; }
  // True while the display is there and initialised.
  bool Initialized() const;

  // The display's events. Initialize releases every entry's surfaces, remembers the display and
  // raises EPictureCollectionError "TPictureCollection cannot be initialized" when the display is not
  // initialised; Restore rebuilds every entry; Finalize releases everything and forgets the display.
  void Initialize(TDXDraw& dxdraw);
  void Restore();
  void Finalize();

 private:
  TDXDraw* dxdraw_ = nullptr;
};

// The image list component: the collection plus its link to the display.
class TDXImageList {
 public:
  TDXImageList() = default;
  ~TDXImageList();
  TDXImageList(const TDXImageList&) = delete;
  TDXImageList& operator=(const TDXImageList&) = delete;

  TDXDraw* DXDraw() const { return dxdraw_; }
  // Registers with the display as a listener (unregistering from the previous one); nullptr detaches.
  void SetDXDraw(TDXDraw* dxdraw);

  TPictureCollection& Items() { return items_; }
  const TPictureCollection& Items() const { return items_; }

 private:
  TDXDraw* dxdraw_ = nullptr;
  TPictureCollection items_;
};

}  // namespace kv
