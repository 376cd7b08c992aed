#pragma once
// A fixed array indexed from 1 to N, as the game's rows and actor lists are. Indices are checked
// in debug builds.
#include <array>
#include <cassert>
#include <cstddef>

namespace kv {

template <typename T, int N>
class OneBased {
 public:
  T& operator[](int i) {
    assert(i >= 1 && i <= N);
    return items_[static_cast<size_t>(i - 1)];
  }
  const T& operator[](int i) const {
    assert(i >= 1 && i <= N);
    return items_[static_cast<size_t>(i - 1)];
  }
  static constexpr int size() { return N; }
  void fill(const T& v) { items_.fill(v); }
  T* data() { return items_.data(); }

 private:
  std::array<T, N> items_{};
};

}  // namespace kv
