#include "platform/sdl/window_keys.h"

#include <cstddef>

namespace kv {

namespace {

constexpr int kReturn = 13;
constexpr int kF4 = 115;
constexpr int kF11 = 122;

}  // namespace

WindowKeys::Action WindowKeys::press(int vk, bool alt) {
  if (vk <= 0 || vk >= static_cast<int>(held_.size())) return Action::None;
  bool& held = held_[static_cast<size_t>(vk)];
  if (held) return Action::Swallow;  // a repeat, with or without Alt still down
  Action action = Action::None;
  if (vk == kF11 || (alt && vk == kReturn)) action = Action::ToggleFullScreen;
  if (alt && vk == kF4) action = Action::Close;
  held = action != Action::None;
  return action;
}

bool WindowKeys::release(int vk) {
  if (vk <= 0 || vk >= static_cast<int>(held_.size())) return false;
  bool& held = held_[static_cast<size_t>(vk)];
  const bool was = held;
  held = false;
  return was;
}

}  // namespace kv
