// Placeholder until the image list lands: an entry knows its size but is never initialised, so it
// has no patterns and draws nothing. The image list's own sources replace this file.
#include <string>

#include "gfx/image_list.h"

namespace kv {

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection&) {}
TPictureCollectionItem::~TPictureCollectionItem() = default;

const std::string& TPictureCollectionItem::Name() const {
  static const std::string none;
  return none;
}
void TPictureCollectionItem::SetName(const std::string&) {}

int32_t TPictureCollectionItem::Width() const {
  return PatternWidth > 0 ? PatternWidth : Picture.width;
}
int32_t TPictureCollectionItem::Height() const {
  return PatternHeight > 0 ? PatternHeight : Picture.height;
}
int32_t TPictureCollectionItem::PatternCount() const {
  return 0;
}
bool TPictureCollectionItem::Initialized() const {
  return false;
}
void TPictureCollectionItem::Draw(TDirectDrawSurface*, int32_t, int32_t, int32_t) {}

}  // namespace kv
