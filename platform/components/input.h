#pragma once
// TDXInput: the keyboard and a joystick as 36 abstract input states (four directions and 32
// buttons). The game polls it once per tick and reads InputStates. Which keys make which state is
// the key-assignment table: three virtual-key codes per state.
#include <array>
#include <cstdint>

namespace kv {

class KeyboardState;
class InputDevices;

enum TDXInputState : int {
  isUp = 0,
  isDown = 1,
  isLeft = 2,
  isRight = 3,
  isButton1 = 4,  // isButton1 + n - 1 is button n, up to 32
};

// Bit n is state n; bits 36..39 stay zero.
using TDXInputStates = uint64_t;
constexpr int kInputStateCount = 36;
constexpr TDXInputStates stateBit(int state) {
  return TDXInputStates{1} << state;
}

using KeyAssigns = std::array<std::array<int32_t, 3>, kInputStateCount>;

// The table a freshly made keyboard holds: K/Up/pad 8, J/Down/pad 2, H/Left/pad 4, L/Right/pad 6,
// Z and Space for button 1, X and Enter for button 2, F2 for button 9.
KeyAssigns defaultKeyAssigns();

class TDXInput {
 public:
  TDXInput(KeyboardState& keyboard, InputDevices& devices);

  // Reads every device (joystick, keyboard, then the mouse, which stays off) and recomputes
  // InputStates from the union of the bound devices' states. With ActiveOnly, nothing is down while
  // the window is in the background. The stick's D-pad steers like the stick.
  void Poll();
  TDXInputStates InputStates = 0;

  bool ActiveOnly = true;
  struct Device {
    bool Enabled = true;
    bool BindInputStates = true;
    TDXInputStates States = 0;
  };
  struct KeyboardDevice : Device {
    KeyAssigns Assigns = defaultKeyAssigns();
    std::array<uint8_t, 256> KeyStates{};
  } Keyboard;
  struct JoystickDevice : Device {
    int32_t ID = 0;
    int32_t DeadZoneX = 50, DeadZoneY = 50, DeadZoneZ = 50;
    int32_t RangeX = 1000, RangeY = 1000, RangeZ = 1000;
    int32_t X = 0, Y = 0, Z = 0;
    std::array<uint8_t, 32> Buttons{};
  } Joystick;
  struct MouseDevice : Device {
  } Mouse;

 private:
  void pollKeyboard();
  void pollJoystick();

  KeyboardState& keyboard_;
  InputDevices& devices_;
  TDXInputStates previousRaw_ = 0;
};

// One axis position scaled to -range..range with a dead zone in percent of half the travel: 0 inside
// the dead zone (or when there is no travel left outside it), beyond it a straight line out to
// +-range, rounded to the nearest integer with halves away from zero.
int32_t scaleJoystickAxis(int32_t position, int32_t min, int32_t max, int32_t deadZone, int32_t range);

}  // namespace kv
