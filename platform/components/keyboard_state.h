#pragma once
// The keyboard as the input component sees it: one down/up byte per virtual-key code.
// A key pressed and released between two snapshots still shows as down in the next one,
// so a quick tap is never lost.
#include <array>
#include <cstdint>

namespace kv {

class KeyboardState {
 public:
  void keyDown(int vk);
  void keyUp(int vk);
  // Fills 256 bytes, bit 7 set for every key that is down or was tapped since the last snapshot.
  void snapshot(std::array<uint8_t, 256>& out);
  bool isDown(int vk) const;
  void clear();

 private:
  // 0x80 for a key that is down (tapped), 0 otherwise: a snapshot ORs them eight keys at a time.
  std::array<uint8_t, 256> down_{};
  std::array<uint8_t, 256> tapped_{};
};

}  // namespace kv
