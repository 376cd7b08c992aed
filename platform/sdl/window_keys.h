#pragma once
// The window's own keys, which a desktop gives every program: Alt+Enter and F11 switch between full
// screen and a window, Alt+F4 closes the window (a window manager usually takes Alt+F4 before the
// game sees it; without one the game does it itself). These keys never reach the game: their press,
// its repeats and its release are all kept back, even when Alt is let go first.
#include <array>

namespace kv {

class WindowKeys {
 public:
  enum class Action {
    None,              // the game's key: hand it on
    Swallow,           // a repeat of a window key: drop it
    ToggleFullScreen,  // switch, and drop the key
    Close,             // close the window, and drop the key
  };

  // A press by virtual-key code, with whether an Alt key is held.
  Action press(int vk, bool alt);
  // A release: true when its press was a window key (drop it).
  bool release(int vk);

 private:
  std::array<bool, 256> held_{};
};

}  // namespace kv
