#pragma once
// Keys as the game knows them: SDL's key events turned into Windows virtual-key codes.
// The key's place on the keyboard decides (SDL scancodes, which are the USB keyboard usage numbers),
// except that letters follow the keyboard layout as Windows does: the key that types 'a' is A (65).
// Punctuation keys give the character code of the symbol they carry unshifted on a US keyboard
// (the apostrophe 39, the period 46, which are also the codes of Right arrow and Delete); minus,
// the grave accent and every key not named here give 0.

namespace kv {

// scancode: SDL_Scancode (USB usage id); keycode: SDL_Keycode (the character the layout gives the key,
// for letters 'a'..'z'). Returns the virtual-key code, or 0 for keys the game cannot know.
int virtualKeyFor(int scancode, int keycode);

}  // namespace kv
