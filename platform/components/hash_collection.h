#pragma once
// An ordered collection of named entries with lookup by name through the name table. Entries join
// their collection in their constructor and leave it in their destructor; entries made by the
// collection (its Add) are owned and freed with it, an entry made by anyone else is only detached
// when the collection goes first.
//
// Item must have a member `HashCollectionEntry hashEntry_` and befriend HashCollection<Item>.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/components/component_errors.h"
#include "platform/components/name_table.h"

namespace kv {

struct HashCollectionEntry {
  NameTableLink link;
  bool attached = false;  // in a collection's list
  bool owned = false;     // freed by the collection
};

template <class Item>
class HashCollection {
 public:
  HashCollection() = default;
  HashCollection(const HashCollection&) = delete;
  HashCollection& operator=(const HashCollection&) = delete;
  ~HashCollection() { Clear(); }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  // Raises EListError "List index out of bounds (%d)" for an index outside 0 .. Count - 1.
  Item& Items(int32_t index) const {
    if (index < 0 || index >= Count())
      throw EListError(formatMessage("List index out of bounds (%d)", static_cast<long long>(index)));
    return *items_[static_cast<size_t>(index)];
  }
  Item& operator[](int32_t index) const { return Items(index); }

  // The stored index of the most recently named entry with this name (any case), or -1.
  int32_t IndexOf(std::string_view name) const {
    const NameTableLink* link = names_.Find(name);
    return link ? link->index : -1;
  }

  // Removes the entry at the index (freeing it when the collection made it).
  void Delete(int32_t index) { release(&Items(index)); }

  void Clear() {
    while (!items_.empty()) release(items_.back());
  }

 protected:
  // Marks an entry made by the collection itself.
  static void markOwned(Item& item) { item.hashEntry_.owned = true; }
  const std::vector<Item*>& entries() const { return items_; }

 private:
  friend Item;

  // The entries' own calls: on construction, on destruction and on every change of Name.
  void attach(Item& item) {
    HashCollectionEntry& e = item.hashEntry_;
    e.attached = true;
    e.link.index = Count();
    items_.push_back(&item);
    names_.Place(e.link, e.link.name);
  }

  void detach(Item& item) {
    HashCollectionEntry& e = item.hashEntry_;
    if (!e.attached) return;
    names_.Remove(e.link);
    items_.erase(items_.begin() + e.link.index);
    for (size_t i = static_cast<size_t>(e.link.index); i < items_.size(); ++i)
      items_[i]->hashEntry_.link.index = static_cast<int32_t>(i);
    e.attached = false;
    e.owned = false;
    e.link.index = -1;
  }

  void rename(Item& item, const std::string& name) {
    HashCollectionEntry& e = item.hashEntry_;
    if (e.attached) {
      names_.Place(e.link, name);
    } else {
      e.link.name = name;
    }
  }

  void release(Item* item) {
    if (item->hashEntry_.owned) {
      delete item;  // its destructor detaches it
    } else {
      detach(*item);
    }
  }

  std::vector<Item*> items_;
  NameTable names_;
};

}  // namespace kv
