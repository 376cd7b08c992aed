#pragma once
// A classic push button laid over the display: a click counts when the pointer is released over it.
#include <functional>
#include <string>

#include "platform/seam/button_view.h"

namespace kv {

class TApplication;

// A button's caption and place, as a form lays its buttons out (screen pixels of the display).
struct ButtonPlace {
  const char* caption;
  int left, top, width, height;
  constexpr int centreX() const { return left + width / 2; }
  constexpr int centreY() const { return top + height / 2; }
};

class TButton {
 public:
  TButton(TApplication& app, std::string caption, int left, int top, int width, int height);
  TButton(TApplication& app, const ButtonPlace& place)
      : TButton(app, place.caption, place.left, place.top, place.width, place.height) {}
  ~TButton();
  TButton(const TButton&) = delete;
  TButton& operator=(const TButton&) = delete;

  const std::string& Caption() const { return caption_; }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  void SetVisible(bool v);
  void SetEnabled(bool e);

  std::function<void()> OnClick;

  // Pointer handling, called by the application.
  bool contains(int x, int y) const;
  bool takesPointer() const { return visible_; }  // a hidden button is not there for the pointer
  void pointerDown(int x, int y);
  void pointerMove(int x, int y);
  // Returns true when the release completed a click (the caller then runs OnClick).
  bool pointerUp(int x, int y);
  bool captured() const { return captured_; }
  ButtonView view() const;

 private:
  void changed();

  TApplication& app_;
  std::string caption_;
  int left_, top_, width_, height_;
  bool visible_ = true;
  bool enabled_ = true;
  bool captured_ = false;  // pressed on this button and not yet released
  bool over_ = false;      // pointer over the button while captured
};

}  // namespace kv
