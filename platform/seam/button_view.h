#pragma once
// What the video device needs to know to draw one push button over the frame.
#include <string>

namespace kv {

struct ButtonView {
  int left = 0, top = 0, width = 0, height = 0;
  std::string caption;
  bool pressed = false;  // held down with the pointer over it
  bool enabled = true;
};

}  // namespace kv
