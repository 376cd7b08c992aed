#include <gtest/gtest.h>

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
  EXPECT_EQ(virtualKeyFor(16, ','), 188);
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
  EXPECT_EQ(special(85), 106);  // *
  EXPECT_EQ(special(87), 107);  // +
  EXPECT_EQ(special(86), 109);  // -
  EXPECT_EQ(special(99), 110);  // .
  EXPECT_EQ(special(84), 111);  // /
  EXPECT_EQ(special(88), 13);   // pad Enter is Enter
  EXPECT_EQ(special(83), 144);  // Num Lock
}

TEST(SdlKeymapTest, ControlAndNavigationKeys) {
  struct Case {
    int scancode, vk;
    const char* name;
  };
  const Case cases[] = {
      {40, 13, "Enter"},      {41, 27, "Escape"},     {42, 8, "Backspace"},    {43, 9, "Tab"},
      {44, 32, "Space"},      {57, 20, "Caps Lock"},  {71, 145, "Scroll"},     {72, 19, "Pause"},
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

TEST(SdlKeymapTest, PunctuationGetsTheWindowsOemCodes) {
  struct Case {
    int scancode;
    int ch;
    int vk;
  };
  const Case cases[] = {
      {45, '-', 189},  {46, '=', 187}, {47, '[', 219}, {48, ']', 221}, {49, '\\', 220}, {51, ';', 186},
      {52, '\'', 222}, {53, '`', 192}, {54, ',', 188}, {55, '.', 190}, {56, '/', 191},  {100, '<', 226},
  };
  for (const Case& c : cases) EXPECT_EQ(virtualKeyFor(c.scancode, c.ch), c.vk) << static_cast<char>(c.ch);
  // The apostrophe is not the Right arrow, nor the period Delete.
  EXPECT_NE(virtualKeyFor(52, '\''), 39);
  EXPECT_NE(virtualKeyFor(55, '.'), 46);
}

TEST(SdlKeymapTest, UnknownKeysGiveNoCode) {
  EXPECT_EQ(virtualKeyFor(0, 0), 0);
  EXPECT_EQ(special(127), 0);  // Mute
  EXPECT_EQ(special(290), 0);  // beyond the keyboard page
}

}  // namespace
}  // namespace kv
