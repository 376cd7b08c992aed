#include "platform/keyboard_state.h"

namespace kv {

namespace {
bool validKey(int vk) {
  return vk > 0 && vk < 256;
}
}  // namespace

void KeyboardState::keyDown(int vk) {
  if (!validKey(vk)) return;
  down_[vk] = true;
  tapped_[vk] = true;
}

void KeyboardState::keyUp(int vk) {
  if (!validKey(vk)) return;
  down_[vk] = false;
}

void KeyboardState::snapshot(std::array<uint8_t, 256>& out) {
  for (int vk = 0; vk < 256; ++vk) {
    out[vk] = (down_[vk] || tapped_[vk]) ? 0x80 : 0;
    tapped_[vk] = false;
  }
}

bool KeyboardState::isDown(int vk) const {
  return validKey(vk) && down_[vk];
}

void KeyboardState::clear() {
  down_.fill(false);
  tapped_.fill(false);
}

}  // namespace kv
