#pragma once
// Window messages: pointer, keys, focus, window state, close; plus the harness's own requests.
#include <string>

namespace kv {

struct Event {
  enum class Kind {
    MouseMove,   // x, y: screen pixels of the 800x600 display
    MouseDown,   // left button pressed at x, y
    MouseUp,     // left button released at x, y
    KeyDown,     // vk: Windows virtual-key code
    KeyUp,       // vk
    Activate,    // the application came to the foreground
    Deactivate,  // the application went to the background
    Minimize,    // the window was minimised: the display lets go of its device
    Restore,     // the window came back: the display builds its device again
    SizeStart,   // an interactive size change (full screen <-> window) begins: the display lets go
    SizeEnd,     // it ended: the display builds its device again at the new size
    Expose,      // the window must be painted again
    Quit,        // the window is being closed
    State,       // harness: write a state line to the trace
    Shot,        // harness: save the screen to path
    Terrain,     // harness: write the ground's columns to the trace
  };
  Kind kind = Kind::Quit;
  int x = 0, y = 0;
  int vk = 0;
  std::string path;
};

class EventSource {
 public:
  virtual ~EventSource() = default;
  // The message pump takes the next pending event; false when none is pending now.
  virtual bool poll(Event& out) = 0;
  // The main loop blocks here when no timer runs, until an event is pending.
  virtual void waitForEvent() = 0;
};

}  // namespace kv
