#include "platform/wave_list.h"

namespace kv {

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection) : collection_(&collection) {
  collection.attach(*this);
}

TWaveCollectionItem::~TWaveCollectionItem() {
  // An entry that outlived its collection was detached when the collection went.
  if (hashEntry_.attached) collection_->detach(*this);
}

void TWaveCollectionItem::SetName(const std::string& name) {
  if (hashEntry_.attached) {
    collection_->rename(*this, name);
  } else {
    hashEntry_.link.name = name;
  }
}

TWaveCollection::~TWaveCollection() {
  Clear();
}

TWaveCollectionItem& TWaveCollection::Add() {
  auto* item = new TWaveCollectionItem(*this);
  markOwned(*item);
  return *item;
}

}  // namespace kv
