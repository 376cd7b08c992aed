// The collection of image-list entries and the image list component following its display.
#include <string>

#include "gfx/dxdraw.h"
#include "gfx/image_list.h"
#include "platform/components/component_errors.h"

namespace kv {

TPictureCollection::~TPictureCollection() {
  Clear();
}

TPictureCollectionItem& TPictureCollection::Add() {
  auto* item = new TPictureCollectionItem(*this);
  markOwned(*item);
  return *item;
}

bool TPictureCollection::Initialized() const {
  return dxdraw_ != nullptr && dxdraw_->Initialized();
}

void TPictureCollection::Initialize(TDXDraw& dxdraw) {
  for (TPictureCollectionItem* item : entries()) item->ReleaseSurfaces();
  dxdraw_ = &dxdraw;
  if (!dxdraw.Initialized()) {
    throw EPictureCollectionError(
        formatMessage("%s cannot be initialized", std::string("TPictureCollection")));
  }
  for (TPictureCollectionItem* item : entries()) item->initialized_ = true;
}

void TPictureCollection::Restore() {
  for (TPictureCollectionItem* item : entries()) item->Restore();
}

void TPictureCollection::Finalize() {
  for (TPictureCollectionItem* item : entries()) {
    item->ReleaseSurfaces();
    item->initialized_ = false;
  }
  dxdraw_ = nullptr;
}

TDXImageList::~TDXImageList() {
  SetDXDraw(nullptr);
}

void TDXImageList::SetDXDraw(TDXDraw* dxdraw) {
  if (dxdraw == dxdraw_) return;
  if (dxdraw_ != nullptr) {
    // Unregistering sends Finalize while the display is initialised.
    TDXDraw* old = dxdraw_;
    dxdraw_ = nullptr;
    old->UnRegisterNotifyEvent(this);
    items_.Finalize();
  }
  dxdraw_ = dxdraw;
  if (dxdraw_ == nullptr) return;
  dxdraw_->RegisterNotifyEvent(this, [this](TDXDraw& sender, TDXDrawNotifyType type) {
    switch (type) {
      case TDXDrawNotifyType::Initialize:
        items_.Initialize(sender);
        break;
      case TDXDrawNotifyType::Restore:
        items_.Restore();
        break;
      case TDXDrawNotifyType::Finalize:
        items_.Finalize();
        break;
      case TDXDrawNotifyType::Destroying:
        // The display goes away: forget it without calling it back.
        if (dxdraw_ == &sender) {
          sender.UnRegisterNotifyEvent(this);
          dxdraw_ = nullptr;
          items_.Finalize();
        }
        break;
      default:
        break;
    }
  });
}

}  // namespace kv
