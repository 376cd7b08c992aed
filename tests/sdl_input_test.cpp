// Joysticks through SDL, with SDL's virtual joysticks standing in for real controllers.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/components/input.h"
#include "platform/components/keyboard_state.h"
#include "platform/sdl/sdl_backend.h"
#include "sdl_dummy_backend.h"

namespace kv {
namespace {

class SdlInputTest : public SdlDummyBackendTest {
 protected:
  void SetUp() override {
    SdlDummyBackendTest::SetUp();
    if (HasFatalFailure()) return;
    devices().joystick(0);  // the first read starts SDL's joysticks
    ASSERT_NE(SDL_WasInit(SDL_INIT_JOYSTICK), 0u) << SDL_GetError();
  }
  InputDevices& devices() { return backend.platform().input; }
  // A gamepad with three axes, four buttons and a D-pad, plugged in; returns its device index.
  int plugGamepad() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 4, 1);
    EXPECT_GE(index, 0) << SDL_GetError();
    return index;
  }
};

TEST_F(SdlInputTest, AGamepadIsReadPulledOutAndPluggedInAgain) {
  const int index = plugGamepad();
  ASSERT_GE(index, 0);
  KeyboardState keys;
  TDXInput input(keys, devices());
  input.Joystick.ID = index;
  input.Poll();
  EXPECT_EQ(input.InputStates, 0u);  // found, at rest

  // The test's own handle on the same device sets what the controller reports.
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  SDL_JoystickSetVirtualAxis(pad, 0, SDL_JOYSTICK_AXIS_MIN);
  SDL_JoystickSetVirtualAxis(pad, 1, 12000);  // inside the dead zone
  SDL_JoystickSetVirtualButton(pad, 2, SDL_PRESSED);
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_LEFTDOWN);
  const JoystickReading r = devices().joystick(index);
  EXPECT_TRUE(r.present);
  EXPECT_EQ(r.minX, 0);
  EXPECT_EQ(r.maxX, 65535);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 32768 + 12000);
  EXPECT_EQ(r.z, 32768);
  EXPECT_EQ(r.buttonCount, 4);
  EXPECT_EQ(r.buttons, 0b100u);
  EXPECT_EQ(r.hat, kHatLeft | kHatDown);
  input.Poll();
  EXPECT_EQ(input.Joystick.X, -1000);
  EXPECT_EQ(input.Joystick.Y, 0);
  EXPECT_EQ(input.InputStates, stateBit(isLeft) | stateBit(isDown) | stateBit(isButton1 + 2));

  // Pulled out with everything held: nothing stays down, and the closed stick is not read again.
  SDL_JoystickClose(pad);
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
  input.Poll();
  EXPECT_EQ(input.InputStates, 0u);
  EXPECT_FALSE(devices().joystick(index).present);

  // Another one plugged in while the game runs is picked up on the next read.
  const int again = plugGamepad();
  ASSERT_EQ(again, index);
  pad = SDL_JoystickOpen(again);
  SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
  input.Poll();
  EXPECT_EQ(input.InputStates, stateBit(isButton1));
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(again);
}

}  // namespace
}  // namespace kv
