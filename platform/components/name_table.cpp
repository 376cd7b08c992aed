#include "platform/components/name_table.h"

namespace kv {

namespace {
unsigned char lower(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}
}  // namespace

uint8_t NameTable::Hash(std::string_view name) {
  const size_t n = name.size();
  size_t h = n * 16;
  if (n >= 2) h += lower(name[0]) + lower(name[n - 2]);
  return static_cast<uint8_t>(h & 0xFF);
}

bool NameTable::SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

void NameTable::Place(NameTableLink& link, const std::string& name) {
  Remove(link);
  link.name = name;
  link.bucket = Hash(name);
  link.next = heads_[link.bucket];
  heads_[link.bucket] = &link;
}

void NameTable::Remove(NameTableLink& link) {
  if (link.bucket < 0) return;
  NameTableLink** at = &heads_[link.bucket];
  while (*at != nullptr && *at != &link) at = &(*at)->next;
  if (*at == &link) *at = link.next;
  link.next = nullptr;
  link.bucket = -1;
}

const NameTableLink* NameTable::Find(std::string_view name) const {
  for (const NameTableLink* l = heads_[Hash(name)]; l != nullptr; l = l->next) {
    if (SameName(l->name, name)) return l;
  }
  return nullptr;
}

}  // namespace kv
