#pragma once
// The name table of a named collection: 256 buckets, each a chain of the entries whose names hash to
// it, the most recently named entry first. Names compare without regard to ASCII case.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// One entry's place in its collection: its name, its stored index and its link in the name table.
struct NameTableLink {
  std::string name;
  int32_t index = -1;             // the entry's position in its collection
  NameTableLink* next = nullptr;  // the next entry of the same bucket
  int bucket = -1;                // -1 while the entry is in no bucket
};

class NameTable {
 public:
  // (n x 16 + (for n >= 2: first character + second-to-last character)) mod 256 of the
  // lower-cased name of length n.
  static uint8_t Hash(std::string_view name);
  static bool SameName(std::string_view a, std::string_view b);

  // Names (or renames) an entry: out of its old bucket, in at the head of its new one.
  void Place(NameTableLink& link, const std::string& name);
  // Takes the entry out of its bucket.
  void Remove(NameTableLink& link);
  // The first entry of the name's bucket with that name, or nullptr.
  const NameTableLink* Find(std::string_view name) const;
  void Clear() { heads_.fill(nullptr); }

 private:
  std::array<NameTableLink*, 256> heads_{};
};

}  // namespace kv
