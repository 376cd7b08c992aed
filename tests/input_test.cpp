#include <gtest/gtest.h>

#include "platform/components/input.h"
#include "platform/components/keyboard_state.h"
#include "platform/headless/headless_backend.h"
#include "tests/game_fixture.h"

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
  devices.plugStick();
  devices.stick.buttons = 0b1;
  input.Poll();
  EXPECT_EQ(input.InputStates, stateBit(isRight) | stateBit(isButton1));
  devices.inForeground = false;
  keys.keyDown(38);  // a tap made in the background
  keys.keyUp(38);
  input.Poll();
  EXPECT_EQ(input.InputStates, 0u);
  EXPECT_EQ(input.Joystick.Buttons[0], 0);
  devices.inForeground = true;
  input.Poll();
  EXPECT_EQ(input.InputStates,
            stateBit(isRight) | stateBit(isButton1));  // held ones come back, the tap does not
  // Without ActiveOnly the background makes no difference.
  input.ActiveOnly = false;
  devices.inForeground = false;
  input.Poll();
  EXPECT_EQ(input.InputStates, stateBit(isRight) | stateBit(isButton1));
}

TEST_F(InputTest, TheDPadSteersAndOnlyEnabledBoundDevicesCount) {
  devices.plugStick();
  devices.stick.hat = kHatLeft | kHatUp;
  input.Poll();
  EXPECT_EQ(input.InputStates, stateBit(isLeft) | stateBit(isUp));
  EXPECT_EQ(input.Joystick.X, 0);  // the hat is no axis
  devices.stick.hat = kHatDown;
  devices.stick.x = 65535;
  input.Poll();
  EXPECT_EQ(input.InputStates, stateBit(isDown) | stateBit(isRight));
  // A device that is not bound still reads, but its states stay its own.
  input.Joystick.BindInputStates = false;
  input.Poll();
  EXPECT_EQ(input.Joystick.States, stateBit(isDown) | stateBit(isRight));
  EXPECT_EQ(input.InputStates, 0u);
  input.Joystick.BindInputStates = true;
  input.Joystick.Enabled = false;
  input.Poll();
  EXPECT_EQ(input.Joystick.States, 0u);
  EXPECT_EQ(input.InputStates, 0u);
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
  devices.plugStick(2);
  devices.stick.buttons = 0b110;  // button 2, and a third the stick does not have
  keys.keyDown(32);
  input.Poll();
  EXPECT_TRUE(has(isButton1));
  EXPECT_TRUE(has(isButton1 + 1));
  EXPECT_FALSE(has(isButton1 + 2));
}

TEST(JoystickAxisTest, ScalingAroundTheCentre) {
  EXPECT_EQ(scaleJoystickAxis(32767, 0, 65535, 50, 1000), 0);
  EXPECT_EQ(scaleJoystickAxis(65535, 0, 65535, 50, 1000), 1000);
  EXPECT_EQ(scaleJoystickAxis(0, 0, 65535, 50, 1000), -1000);
  EXPECT_EQ(scaleJoystickAxis(32767 + 16383, 0, 65535, 50, 1000), 0);  // exactly the dead zone
  EXPECT_EQ(scaleJoystickAxis(32767 + 24575, 0, 65535, 50, 1000), 500);
  EXPECT_EQ(scaleJoystickAxis(-32768, -32768, 32767, 50, 1000), -1000);  // a centred range
  EXPECT_EQ(scaleJoystickAxis(5, 5, 5, 50, 1000), 0);                    // no travel at all
  // Beyond the dead zone of 16383 the line has 16384 steps: 1024 of them make 62.5, rounded away from 0.
  EXPECT_EQ(scaleJoystickAxis(32767 + 16383 + 1024, 0, 65535, 50, 1000), 63);
  EXPECT_EQ(scaleJoystickAxis(32767 - 16383 - 1024, 0, 65535, 50, 1000), -63);
  EXPECT_EQ(scaleJoystickAxis(32767 + 16383 + 1, 0, 65535, 50, 1000), 0);  // 0.06
  EXPECT_EQ(scaleJoystickAxis(32767 + 16383 + 9, 0, 65535, 50, 1000), 1);  // 0.55
  EXPECT_EQ(scaleJoystickAxis(65535, 0, 65535, 100, 1000), 0);             // all dead zone
  EXPECT_EQ(scaleJoystickAxis(65535, 0, 65535, 0, 5), 5);
  EXPECT_EQ(scaleJoystickAxis(1, 0, 65535, 0, 1000), -1000);  // 32766 steps of 32767
  EXPECT_EQ(scaleJoystickAxis(INT32_MAX, INT32_MIN, INT32_MAX, 0, INT32_MAX), INT32_MAX);  // no overflow
}

// The whole game on the headless back end: the tick polls the input at its start.
class InputInAGameTest : public ::testing::Test {
 protected:
  TDXInputStates states() const { return g.form->DXInput1.InputStates; }
  test::GameFixture g;
  VirtualInput& devices = g.hb().input;
};

TEST_F(InputInAGameTest, AStickPulledMidLevelLeavesNothingHeldAndAnotherIsPickedUp) {
  devices.plugStick();
  g.startLevel(1);
  devices.stick.x = 0;
  devices.stick.buttons = 0b1;
  g.ticks(3);
  EXPECT_EQ(states(), stateBit(isLeft) | stateBit(isButton1));
  devices.pullStick();
  g.ticks(1);
  EXPECT_EQ(states(), 0u);
  EXPECT_EQ(g.form->DXInput1.Joystick.X, 0);
  const int64_t ticks = game.ticks;
  g.ticks(200);
  EXPECT_TRUE(game.levelRunning);
  EXPECT_EQ(game.ticks, ticks + 200);
  EXPECT_EQ(states(), 0u);
  devices.plugStick();
  devices.stick.hat = kHatUp;
  g.ticks(1);
  EXPECT_EQ(states(), stateBit(isUp));
}

TEST_F(InputInAGameTest, NothingIsDownWhileTheWindowIsInTheBackground) {
  devices.plugStick();
  g.startLevel(1);
  devices.stick.y = 65535;
  g.post(Event::Kind::KeyDown, 0, 0, 32);
  g.ticks(2);  // the key arrives in the first tick's message pump, the next poll sees it
  EXPECT_EQ(states(), stateBit(isDown) | stateBit(isButton1));
  devices.inForeground = false;
  g.post(Event::Kind::Deactivate);
  g.ticks(1);
  g.key(37);  // a tap while in the background
  for (int i = 0; i < 5; ++i) {
    g.ticks(1);
    EXPECT_EQ(states(), 0u);
  }
  EXPECT_TRUE(game.levelRunning);
  devices.inForeground = true;
  g.post(Event::Kind::Activate);
  g.ticks(1);
  EXPECT_EQ(states(), stateBit(isDown));  // the stick still held; the keys went with the focus
  g.post(Event::Kind::KeyDown, 0, 0, 38);
  g.ticks(2);
  EXPECT_EQ(states(), stateBit(isDown) | stateBit(isUp));
}

TEST_F(InputInAGameTest, TheGamesTableFiresWithSpaceOnly) {
  g.startLevel(1);
  g.key(90);  // Z fires on a freshly made keyboard, not in the game
  g.ticks(1);
  EXPECT_EQ(states(), 0u);
  g.key(32);
  g.ticks(1);
  EXPECT_EQ(states(), stateBit(isButton1));  // a tap is seen by one poll
  g.ticks(1);
  EXPECT_EQ(states(), 0u);
}

}  // namespace
}  // namespace kv
