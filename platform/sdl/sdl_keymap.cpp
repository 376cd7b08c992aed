#include "platform/sdl/sdl_keymap.h"

#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

namespace kv {

namespace {

// Windows virtual-key codes this file hands out.
enum Vk : int {
  kBack = 8,
  kTab = 9,
  kReturn = 13,
  kShift = 16,
  kControl = 17,
  kMenu = 18,  // Alt
  kCapital = 20,
  kEscape = 27,
  kSpace = 32,
  kPrior = 33,
  kNext = 34,
  kEnd = 35,
  kHome = 36,
  kLeft = 37,
  kUp = 38,
  kRight = 39,
  kDown = 40,
  kInsert = 45,
  kDelete = 46,
  kLWin = 91,
  kRWin = 92,
  kApps = 93,
  kNumpad0 = 96,
  kAdd = 107,
  kSubtract = 109,
  kDecimal = 110,
  kDivide = 111,
  kF1 = 112,
  kNumLock = 144,
  kScroll = 145,
};

// The punctuation keys the game can see, by the character they carry unshifted.
int punctuationCode(int ch) {
  switch (ch) {
    case '=':
    case '[':
    case ']':
    case ';':
    case '\'':
    case '\\':
    case ',':
    case '.':
    case '/':
      return ch;
    default:
      return 0;  // minus, the grave accent and the rest
  }
}

// The keys whose symbol the layout may change. Minus, the grave accent and the extra ISO key give
// no code by their place, but still type letters on some layouts.
bool punctuationPlace(int sc) {
  switch (sc) {
    case SDL_SCANCODE_MINUS:
    case SDL_SCANCODE_EQUALS:
    case SDL_SCANCODE_LEFTBRACKET:
    case SDL_SCANCODE_RIGHTBRACKET:
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
    case SDL_SCANCODE_SEMICOLON:
    case SDL_SCANCODE_APOSTROPHE:
    case SDL_SCANCODE_GRAVE:
    case SDL_SCANCODE_COMMA:
    case SDL_SCANCODE_PERIOD:
    case SDL_SCANCODE_SLASH:
    case SDL_SCANCODE_NONUSBACKSLASH:
      return true;
    default:
      return false;
  }
}

int byPlace(int sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  // The digit row runs 1..9 then 0.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return '0';
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return kF1 + (sc - SDL_SCANCODE_F1);
  // The numeric pad runs 1..9 then 0.
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return kNumpad0 + 1 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_KP_0:
      return kNumpad0;
    case SDL_SCANCODE_KP_MULTIPLY:
      return '*';  // a character code like the other punctuation, not the pad's own 106
    case SDL_SCANCODE_KP_PLUS:
      return kAdd;
    case SDL_SCANCODE_KP_MINUS:
      return kSubtract;
    case SDL_SCANCODE_KP_PERIOD:
      return kDecimal;
    case SDL_SCANCODE_KP_DIVIDE:
      return kDivide;
    case SDL_SCANCODE_KP_ENTER:
    case SDL_SCANCODE_RETURN:
      return kReturn;
    case SDL_SCANCODE_ESCAPE:
      return kEscape;
    case SDL_SCANCODE_BACKSPACE:
      return kBack;
    case SDL_SCANCODE_TAB:
      return kTab;
    case SDL_SCANCODE_SPACE:
      return kSpace;
    case SDL_SCANCODE_LEFT:
      return kLeft;
    case SDL_SCANCODE_UP:
      return kUp;
    case SDL_SCANCODE_RIGHT:
      return kRight;
    case SDL_SCANCODE_DOWN:
      return kDown;
    case SDL_SCANCODE_INSERT:
      return kInsert;
    case SDL_SCANCODE_DELETE:
      return kDelete;
    case SDL_SCANCODE_HOME:
      return kHome;
    case SDL_SCANCODE_END:
      return kEnd;
    case SDL_SCANCODE_PAGEUP:
      return kPrior;
    case SDL_SCANCODE_PAGEDOWN:
      return kNext;
    case SDL_SCANCODE_CAPSLOCK:
      return kCapital;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return kNumLock;
    case SDL_SCANCODE_SCROLLLOCK:
      return kScroll;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return kShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return kControl;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return kMenu;
    case SDL_SCANCODE_LGUI:
      return kLWin;
    case SDL_SCANCODE_RGUI:
      return kRWin;
    case SDL_SCANCODE_APPLICATION:
      return kApps;
    case SDL_SCANCODE_EQUALS:
      return '=';
    case SDL_SCANCODE_LEFTBRACKET:
      return '[';
    case SDL_SCANCODE_RIGHTBRACKET:
      return ']';
    case SDL_SCANCODE_SEMICOLON:
      return ';';
    case SDL_SCANCODE_APOSTROPHE:
      return '\'';
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:  // the ISO key beside Enter sends the backslash key's scan code
      return '\\';
    case SDL_SCANCODE_COMMA:
      return ',';
    case SDL_SCANCODE_PERIOD:
      return '.';
    case SDL_SCANCODE_SLASH:
      return '/';
    default:
      return 0;  // minus, grave accent, Pause, Print Screen, F13 and up, media keys...
  }
}

}  // namespace

int virtualKeyFor(int scancode, int keycode) {
  // Letters go by what the layout types, wherever the key sits (A on an AZERTY keyboard is where
  // Q is on a QWERTY one). Only the letter and punctuation keys follow the layout: the digit row,
  // the numeric pad and the control keys stay where they are whatever they type.
  const int place = byPlace(scancode);
  const bool letterPlace = scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z;
  const bool layoutKey = letterPlace || punctuationPlace(scancode) || place == 0;
  if (layoutKey && keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  // A letter key that types punctuation in this layout (',' where QWERTY has M) is that punctuation.
  if (letterPlace && punctuationCode(keycode) != 0) return punctuationCode(keycode);
  return place;
}

}  // namespace kv
