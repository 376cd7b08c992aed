#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "platform/input.h"
#include "platform/keyboard_state.h"

namespace kv {
namespace {

class InputTest : public ::testing::Test {
 protected:
  InputTest() : input(keys, devices) { input.Keyboard.Assigns[isButton1] = {32, 32, 0}; }
  bool has(int state) { return (input.InputStates & stateBit(state)) != 0; }

  KeyboardState keys;
  VirtualInput devices;
  TDXInput input;
};

TEST_F(InputTest, EachKeyOfARowSetsItsStateWhileHeld) {
  for (int vk : {75, 38, 104}) {
    keys.keyDown(vk);
    input.Poll();
    EXPECT_TRUE(has(isUp)) << vk;
    keys.keyUp(vk);
    input.Poll();
    EXPECT_FALSE(has(isUp)) << vk;
  }
  keys.keyDown(32);
  for (int i = 0; i < 3; ++i) {
    input.Poll();
    EXPECT_TRUE(has(isButton1));  // a held key is not turned into a single press
  }
  EXPECT_FALSE(has(isButton1 + 1));
}

TEST_F(InputTest, ReleasingOneOfTwoHeldKeysKeepsTheState) {
  keys.keyDown(37);
  keys.keyDown(72);
  input.Poll();
  keys.keyUp(37);
  input.Poll();
  EXPECT_TRUE(has(isLeft));
}

TEST_F(InputTest, AQuickTapIsSeenByOnePoll) {
  keys.keyDown(38);
  keys.keyUp(38);
  input.Poll();
  EXPECT_TRUE(has(isUp));
  input.Poll();
  EXPECT_FALSE(has(isUp));
}

TEST_F(InputTest, InTheBackgroundEveryPollIsEmpty) {
  keys.keyDown(39);
  devices.inForeground = false;
  input.Poll();
  EXPECT_EQ(input.InputStates, 0u);
  devices.inForeground = true;
  input.Poll();
  EXPECT_TRUE(has(isRight));
}

TEST_F(InputTest, TheJoystickNeedsMoreThanHalfItsTravel) {
  JoystickReading& j = devices.stick;
  j.present = true;
  j.minX = j.minY = j.minZ = 0;
  j.maxX = j.maxY = j.maxZ = 65535;
  j.x = j.y = j.z = 32767;
  j.buttonCount = 4;
  input.Poll();
  EXPECT_EQ(input.InputStates, 0u);
  j.x = 32767 - 16000;  // less than half way left
  input.Poll();
  EXPECT_FALSE(has(isLeft));
  j.x = 0;
  j.buttons = 0b0001;
  input.Poll();
  EXPECT_TRUE(has(isLeft));
  EXPECT_EQ(input.Joystick.X, -1000);
  EXPECT_TRUE(has(isButton1));
  j.x = 32767;
  j.y = 65535;
  input.Poll();
  EXPECT_FALSE(has(isLeft));
  EXPECT_TRUE(has(isDown));
  EXPECT_EQ(input.Joystick.Y, 1000);
}

TEST_F(InputTest, KeyboardAndJoystickTogether) {
  JoystickReading& j = devices.stick;
  j.present = true;
  j.maxX = j.maxY = j.maxZ = 65535;
  j.x = j.y = j.z = 32767;
  j.buttonCount = 2;
  j.buttons = 0b10;  // button 2
  keys.keyDown(32);
  input.Poll();
  EXPECT_TRUE(has(isButton1));
  EXPECT_TRUE(has(isButton1 + 1));
}

TEST(JoystickAxisTest, ScalingAroundTheCentre) {
  EXPECT_EQ(scaleJoystickAxis(32767, 0, 65535, 50, 1000), 0);
  EXPECT_EQ(scaleJoystickAxis(65535, 0, 65535, 50, 1000), 1000);
  EXPECT_EQ(scaleJoystickAxis(0, 0, 65535, 50, 1000), -1000);
  EXPECT_EQ(scaleJoystickAxis(32767 + 16383, 0, 65535, 50, 1000), 0);  // exactly the dead zone
  EXPECT_EQ(scaleJoystickAxis(32767 + 24575, 0, 65535, 50, 1000), 500);
  EXPECT_EQ(scaleJoystickAxis(-32768, -32768, 32767, 50, 1000), -1000);  // a centred range
  EXPECT_EQ(scaleJoystickAxis(5, 5, 5, 50, 1000), 0);                    // no travel at all
}

}  // namespace
}  // namespace kv
