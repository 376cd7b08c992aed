#include "platform/components/application.h"

#include <algorithm>
#include <cstdio>

#include "platform/components/push_button.h"

namespace kv {

TApplication::TApplication(Platform& platform) : platform_(platform) {}

void TApplication::setIdleHandler(IdleHandler handler) {
  idle_ = std::move(handler);
}

void TApplication::clearIdleHandler() {
  idle_ = nullptr;
}

void TApplication::ProcessMessages() {
  Event e;
  while (!terminated_ && platform_.events.poll(e)) {
    try {
      dispatch(e);
    } catch (const std::exception& ex) {
      HandleException(ex);
    }
  }
  platform_.video.repaint();
}

bool TApplication::IdleOnce() {
  if (!idle_) return true;
  // Copy the handler: it may empty or replace the slot while it runs.
  IdleHandler handler = idle_;
  bool done = true;
  try {
    handler(done);
  } catch (const std::exception& ex) {
    HandleException(ex);
  }
  return done;
}

void TApplication::idlePass() {
  if (IdleOnce() && !terminated_) platform_.events.waitForEvent();
}

void TApplication::Run() {
  while (!terminated_) {
    Event e;
    if (platform_.events.poll(e)) {
      try {
        dispatch(e);
      } catch (const std::exception& ex) {
        HandleException(ex);
      }
      continue;
    }
    platform_.video.repaint();
    if (terminated_) break;
    if (idle_) {
      idlePass();
    } else {
      platform_.events.waitForEvent();
    }
  }
}

void TApplication::dispatch(const Event& e) {
  switch (e.kind) {
    case Event::Kind::MouseMove:
    case Event::Kind::MouseDown:
    case Event::Kind::MouseUp:
      pointerEvent(e);
      break;
    case Event::Kind::KeyDown:
      keyboard_.keyDown(e.vk);
      if (form_) form_->onKeyDown(e.vk);
      break;
    case Event::Kind::KeyUp:
      keyboard_.keyUp(e.vk);
      break;
    case Event::Kind::Activate:
      setActive(true);
      break;
    case Event::Kind::Deactivate:
      keyboard_.clear();
      setActive(false);
      break;
    case Event::Kind::Minimize:
      if (form_) form_->onMinimize();
      break;
    case Event::Kind::Restore:
      if (form_) form_->onRestore();
      break;
    case Event::Kind::SizeStart:
      if (form_) form_->onMoveSizeStart();
      break;
    case Event::Kind::SizeEnd:
      if (form_) form_->onMoveSizeEnd();
      break;
    case Event::Kind::Expose:
      platform_.video.repaint();
      break;
    case Event::Kind::Quit:
      if (form_) {
        form_->onCloseRequest();
      } else {
        Terminate();
      }
      break;
    case Event::Kind::State:
    case Event::Kind::Terrain:
    case Event::Kind::Shot:
      if (harness_) harness_(e);
      break;
  }
}

void TApplication::pointerEvent(const Event& e) {
  // A button pressed earlier keeps the pointer until the release.
  if (captured_) {
    TButton* b = captured_;
    if (e.kind == Event::Kind::MouseMove) {
      b->pointerMove(e.x, e.y);
    } else if (e.kind == Event::Kind::MouseUp) {
      captured_ = nullptr;
      if (b->pointerUp(e.x, e.y) && b->OnClick) b->OnClick();
    }
    return;
  }
  // The last button added lies on top.
  for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
    TButton* b = *it;
    if (!b->takesPointer() || !b->contains(e.x, e.y)) continue;
    if (e.kind == Event::Kind::MouseDown) {
      b->pointerDown(e.x, e.y);
      if (b->captured()) captured_ = b;
    }
    return;  // moves and releases over a button stay with the button
  }
  if (e.kind == Event::Kind::MouseMove && form_) form_->onMouseMove(e.x, e.y);
}

void TApplication::setActive(bool active) {
  if (active_ == active) return;
  active_ = active;
  auto listeners = activation_;
  for (auto& l : listeners) l.fn(active);
}

int TApplication::addActivationListener(std::function<void(bool)> listener) {
  activation_.push_back({nextListenerId_, std::move(listener)});
  return nextListenerId_++;
}

void TApplication::removeActivationListener(int id) {
  std::erase_if(activation_, [id](const Listener& l) { return l.id == id; });
}

void TApplication::addButton(TButton* button) {
  buttons_.push_back(button);
  buttonsChanged();
}

void TApplication::removeButton(TButton* button) {
  std::erase(buttons_, button);
  if (captured_ == button) captured_ = nullptr;
  buttonsChanged();
}

void TApplication::buttonsChanged() {
  if (captured_ && !captured_->captured()) captured_ = nullptr;
  std::vector<ButtonView> views;
  for (TButton* b : buttons_) {
    if (b->Visible()) views.push_back(b->view());
  }
  platform_.video.setButtons(views);
}

void TApplication::HandleException(const std::exception& e) {
  ++exceptions_;
  std::fprintf(stderr, "korvalundrix: %s\n", e.what());
  std::fflush(stderr);
}

}  // namespace kv
