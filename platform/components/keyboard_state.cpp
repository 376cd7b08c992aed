#include "platform/components/keyboard_state.h"

#include <cstring>

namespace kv {

namespace {
bool validKey(int vk) {
  return vk > 0 && vk < 256;
}
}  // namespace

void KeyboardState::keyDown(int vk) {
  if (!validKey(vk)) return;
  down_[vk] = 0x80;
  tapped_[vk] = 0x80;
}

void KeyboardState::keyUp(int vk) {
  if (!validKey(vk)) return;
  down_[vk] = 0;
}

void KeyboardState::snapshot(std::array<uint8_t, 256>& out) {
  for (size_t i = 0; i < out.size(); i += 8) {
    uint64_t down, tapped;
    std::memcpy(&down, down_.data() + i, 8);
    std::memcpy(&tapped, tapped_.data() + i, 8);
    const uint64_t shown = down | tapped;
    std::memcpy(out.data() + i, &shown, 8);
  }
  tapped_.fill(0);
}

bool KeyboardState::isDown(int vk) const {
  return validKey(vk) && down_[vk] != 0;
}

void KeyboardState::clear() {
  down_.fill(0);
  tapped_.fill(0);
}

}  // namespace kv
