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
  // A joystick that SDL knows no pad mapping for, with three axes, four buttons and a hat, plugged
  // in; returns its device index.
  int plugJoystick() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 4, 1);
    EXPECT_GE(index, 0) << SDL_GetError();
    EXPECT_FALSE(SDL_IsGameController(index));
    return index;
  }
};

TEST_F(SdlInputTest, AJoystickThatIsNoKnownPadIsReadAsItIsPulledOutAndPluggedInAgain) {
  const int index = plugJoystick();
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
  const int again = plugJoystick();
  ASSERT_EQ(again, index);
  pad = SDL_JoystickOpen(again);
  SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
  input.Poll();
  EXPECT_EQ(input.InputStates, stateBit(isButton1));
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(again);
}

// Two pads of different makes, both known to SDL as game controllers: one as SDL's own virtual pad
// lays out its buttons (the south button first), the other an odd one whose mapping SDL is given,
// as its database gives one for every common pad: its south button is its fourth, its D-pad a hat
// and its left stick on axes 1 (across) and 0 (up and down). Both steer, jump and fire alike.
TEST_F(SdlInputTest, GamepadsOfAnyMakeSteerJumpAndFireAndLetGoWhenPulledOutMidLevel) {
  SDL_VirtualJoystickDesc plain{};
  plain.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  plain.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  plain.naxes = SDL_CONTROLLER_AXIS_MAX;
  plain.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
  plain.button_mask = (1u << plain.nbuttons) - 1;
  plain.axis_mask = (1u << plain.naxes) - 1;
  plain.name = "Plain pad";
  SDL_VirtualJoystickDesc odd{};
  odd.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  odd.type = SDL_JOYSTICK_TYPE_UNKNOWN;
  odd.naxes = 2;
  odd.nbuttons = 4;
  odd.nhats = 1;
  odd.vendor_id = 0x1d79;
  odd.product_id = 0x0301;
  odd.name = "Odd pad";

  struct Pad {
    const SDL_VirtualJoystickDesc* desc;
    int south, east, stickX, stickY;
    bool hatPad;
  };
  for (const Pad& pad : {Pad{&plain, SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B,
                             SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, false},
                         Pad{&odd, 3, 0, 1, 0, true}}) {
    SCOPED_TRACE(pad.desc->name);
    const int index = SDL_JoystickAttachVirtualEx(pad.desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    if (pad.hatPad) {
      char guid[33];
      SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
      const std::string mapping =
          std::string(guid) +
          ",Odd pad,a:b3,b:b0,x:b2,y:b1,dpup:h0.1,dpright:h0.2,dpdown:h0.4,dpleft:h0.8,"
          "leftx:a1,lefty:a0,platform:Linux,";
      ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
    }
    ASSERT_TRUE(SDL_IsGameController(index));
    KeyboardState keys;
    TDXInput input(keys, devices());
    input.Joystick.ID = index;
    input.Poll();
    EXPECT_EQ(input.InputStates, 0u);
    SDL_Joystick* j = SDL_JoystickOpen(index);
    ASSERT_NE(j, nullptr);
    const auto dpad = [&](int button, Uint8 hat, bool down) {
      if (pad.hatPad) {
        SDL_JoystickSetVirtualHat(j, 0, down ? hat : SDL_HAT_CENTERED);
      } else {
        SDL_JoystickSetVirtualButton(j, button, down ? SDL_PRESSED : SDL_RELEASED);
      }
    };

    // The stick pushed fully left and a little up (inside the dead zone): the vehicle speeds up.
    SDL_JoystickSetVirtualAxis(j, pad.stickX, SDL_JOYSTICK_AXIS_MIN);
    SDL_JoystickSetVirtualAxis(j, pad.stickY, -12000);
    input.Poll();
    EXPECT_EQ(input.InputStates, stateBit(isLeft));
    EXPECT_EQ(input.Joystick.X, -1000);
    // Back at rest, then the D-pad's right and up: slow down and jump.
    SDL_JoystickSetVirtualAxis(j, pad.stickX, 0);
    SDL_JoystickSetVirtualAxis(j, pad.stickY, 0);
    dpad(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_HAT_RIGHT, true);
    input.Poll();
    EXPECT_EQ(input.InputStates, stateBit(isRight));
    dpad(SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_HAT_UP, true);
    if (!pad.hatPad) dpad(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0, false);
    input.Poll();
    EXPECT_EQ(input.InputStates, stateBit(isUp));
    // The east button is no fire button; the south one is, wherever the pad has it.
    SDL_JoystickSetVirtualButton(j, pad.east, SDL_PRESSED);
    input.Poll();
    EXPECT_EQ(input.InputStates & stateBit(isButton1), 0u);
    SDL_JoystickSetVirtualButton(j, pad.south, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(j, pad.stickY, SDL_JOYSTICK_AXIS_MAX);
    input.Poll();
    EXPECT_EQ(input.InputStates & (stateBit(isUp) | stateBit(isDown) | stateBit(isButton1)),
              stateBit(isUp) | stateBit(isDown) | stateBit(isButton1));

    // Pulled out with all that held: every state lets go, on this poll and the next.
    SDL_JoystickClose(j);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    input.Poll();
    EXPECT_EQ(input.InputStates, 0u);
    input.Poll();
    EXPECT_EQ(input.InputStates, 0u);
    EXPECT_FALSE(devices().joystick(index).present);
  }
}

}  // namespace
}  // namespace kv
