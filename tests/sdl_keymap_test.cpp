#include <gtest/gtest.h>

#include "platform/components/input.h"
#include "platform/components/keyboard_state.h"
#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_keymap.h"

namespace kv {
namespace {

// Scancodes are USB keyboard usage numbers; keycodes of character keys are the character the
// layout types, those of other keys the scancode with bit 30 set.
constexpr int kNonCharacter = 1 << 30;

int special(int scancode) {
  return virtualKeyFor(scancode, scancode | kNonCharacter);
}

TEST(SdlKeymapTest, LettersAndDigitsOnAQwertyKeyboard) {
  const char* letters = "abcdefghijklmnopqrstuvwxyz";
  for (int i = 0; i < 26; ++i) EXPECT_EQ(virtualKeyFor(4 + i, letters[i]), 'A' + i) << letters[i];
  // The digit row is 1..9 then 0 (usage 30..39); the game picks levels with 49..54.
  const char* digits = "1234567890";
  for (int i = 0; i < 10; ++i) EXPECT_EQ(virtualKeyFor(30 + i, digits[i]), digits[i]) << digits[i];
}

TEST(SdlKeymapTest, LettersFollowTheLayoutButDigitsStayInPlace) {
  // AZERTY: the key in QWERTY's Q place types 'a', the one in A's place 'q', M sits where ';' is
  // and the key in QWERTY's M place types ','.
  EXPECT_EQ(virtualKeyFor(20, 'a'), 'A');
  EXPECT_EQ(virtualKeyFor(4, 'q'), 'Q');
  EXPECT_EQ(virtualKeyFor(51, 'm'), 'M');
  EXPECT_EQ(virtualKeyFor(16, ','), 44);
  // Its digit row types '&', 0xE9, '"' ... without Shift: still the digits 1, 2, 3.
  EXPECT_EQ(virtualKeyFor(30, '&'), '1');
  EXPECT_EQ(virtualKeyFor(31, 0xE9), '2');
  EXPECT_EQ(virtualKeyFor(32, '"'), '3');
  // A layout typing letters the map does not know (Cyrillic) falls back to the place.
  EXPECT_EQ(virtualKeyFor(20, 0x439), 'Q');
  // Whatever a layout types on the numeric pad or the arrows, they stay what they are.
  EXPECT_EQ(virtualKeyFor(96, 'a'), 104);
  EXPECT_EQ(virtualKeyFor(82, 'a'), 38);
}

TEST(SdlKeymapTest, NumericPad) {
  // Usage 89..97 are pad 1..9, 98 is pad 0.
  for (int i = 0; i < 9; ++i) EXPECT_EQ(special(89 + i), 97 + i) << "pad " << i + 1;
  EXPECT_EQ(special(98), 96);
  EXPECT_EQ(special(85), 42);   // * gives its character code
  EXPECT_EQ(special(87), 107);  // +
  EXPECT_EQ(special(86), 109);  // -
  EXPECT_EQ(special(99), 110);  // .
  EXPECT_EQ(special(84), 111);  // /
  EXPECT_EQ(special(88), 13);   // pad Enter is Enter
}

TEST(SdlKeymapTest, ControlAndNavigationKeys) {
  struct Case {
    int scancode, vk;
    const char* name;
  };
  const Case cases[] = {
      {40, 13, "Enter"},      {41, 27, "Escape"},     {42, 8, "Backspace"},    {43, 9, "Tab"},
      {44, 32, "Space"},      {57, 20, "Caps Lock"},  {71, 145, "Scroll"},     {83, 144, "Num Lock"},
      {73, 45, "Insert"},     {74, 36, "Home"},       {75, 33, "Page Up"},     {76, 46, "Delete"},
      {77, 35, "End"},        {78, 34, "Page Down"},  {79, 39, "Right"},       {80, 37, "Left"},
      {81, 40, "Down"},       {82, 38, "Up"},         {224, 17, "left Ctrl"},  {225, 16, "left Shift"},
      {226, 18, "left Alt"},  {227, 91, "left Win"},  {228, 17, "right Ctrl"}, {229, 16, "right Shift"},
      {230, 18, "right Alt"}, {231, 92, "right Win"}, {101, 93, "Menu"},       {58, 112, "F1"},
      {59, 113, "F2"},        {69, 123, "F12"},
  };
  for (const Case& c : cases) EXPECT_EQ(special(c.scancode), c.vk) << c.name;
  // Space is a character key: its keycode is ' '.
  EXPECT_EQ(virtualKeyFor(44, ' '), 32);
}

TEST(SdlKeymapTest, PunctuationGivesItsCharacterCode) {
  struct Case {
    int scancode;
    int ch;
    int vk;
  };
  // Several of these codes are other keys' codes too: 39 Right, 46 Delete, 91..93 Windows and menu.
  const Case cases[] = {
      {46, '=', 61}, {47, '[', 91},  {48, ']', 93}, {49, '\\', 92}, {50, '#', 92},
      {51, ';', 59}, {52, '\'', 39}, {54, ',', 44}, {55, '.', 46},  {56, '/', 47},
      {45, '-', 0},  {53, '`', 0},   {100, '<', 0},
  };
  for (const Case& c : cases) EXPECT_EQ(virtualKeyFor(c.scancode, c.ch), c.vk) << static_cast<char>(c.ch);
  // A German keyboard types other symbols there; the key's place still decides.
  EXPECT_EQ(virtualKeyFor(56, '-'), 47);
  EXPECT_EQ(virtualKeyFor(52, 0xE4), 39);
  EXPECT_EQ(virtualKeyFor(45, 0xDF), 0);
}

TEST(SdlKeymapTest, TheApostropheSteersRightThroughTheGamesTable) {
  KeyboardState keys;
  VirtualInput devices;
  TDXInput input(keys, devices);
  input.Keyboard.Assigns[isButton1] = {32, 32, 0};
  auto statesFor = [&](int scancode, int ch) {
    const int vk = virtualKeyFor(scancode, ch);
    keys.keyDown(vk);
    input.Poll();
    keys.keyUp(vk);
    const TDXInputStates states = input.InputStates;
    input.Poll();
    return states;
  };
  EXPECT_EQ(statesFor(52, '\''), stateBit(isRight));
  EXPECT_EQ(statesFor(44, ' '), stateBit(isButton1));
  for (int scancode : {45, 53, 55, 47, 48, 29})
    EXPECT_EQ(statesFor(scancode, 0), 0u) << scancode;  // - ` . [ ] Z
}

TEST(SdlKeymapTest, UnknownKeysGiveNoCode) {
  EXPECT_EQ(virtualKeyFor(0, 0), 0);
  EXPECT_EQ(special(127), 0);  // Mute
  EXPECT_EQ(special(72), 0);   // Pause
  EXPECT_EQ(special(70), 0);   // Print Screen
  EXPECT_EQ(special(104), 0);  // F13
  EXPECT_EQ(special(290), 0);  // beyond the keyboard page
}

}  // namespace
}  // namespace kv
