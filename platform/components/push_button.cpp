#include "platform/components/push_button.h"

#include "platform/components/application.h"

namespace kv {

TButton::TButton(TApplication& app, std::string caption, int left, int top, int width, int height)
    : app_(app), caption_(std::move(caption)), left_(left), top_(top), width_(width), height_(height) {
  app_.addButton(this);
}

TButton::~TButton() {
  app_.removeButton(this);
}

void TButton::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  if (!v) captured_ = over_ = false;
  changed();
}

void TButton::SetEnabled(bool e) {
  if (enabled_ == e) return;
  enabled_ = e;
  if (!e) captured_ = over_ = false;
  changed();
}

bool TButton::contains(int x, int y) const {
  return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
}

void TButton::pointerDown(int x, int y) {
  if (!visible_ || !enabled_ || !contains(x, y)) return;
  captured_ = true;
  over_ = true;
  changed();
}

void TButton::pointerMove(int x, int y) {
  if (!captured_) return;
  bool over = contains(x, y);
  if (over == over_) return;
  over_ = over;
  changed();
}

bool TButton::pointerUp(int x, int y) {
  if (!captured_) return false;
  bool click = contains(x, y) && visible_ && enabled_;
  captured_ = over_ = false;
  changed();
  return click;
}

ButtonView TButton::view() const {
  ButtonView v;
  v.left = left_;
  v.top = top_;
  v.width = width_;
  v.height = height_;
  v.caption = caption_;
  v.pressed = captured_ && over_;
  v.enabled = enabled_;
  return v;
}

void TButton::changed() {
  app_.buttonsChanged();
}

}  // namespace kv
