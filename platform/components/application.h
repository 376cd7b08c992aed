#pragma once
// The application object: the single idle-handler slot, the message pump and the main loop.
// Window events go to the push buttons when the pointer is over one, otherwise to the form.
#include <exception>
#include <functional>
#include <vector>

#include "platform/components/keyboard_state.h"
#include "platform/seam/platform.h"

namespace kv {

class TButton;

// What the main window receives from the message pump.
class FormEventSink {
 public:
  virtual ~FormEventSink() = default;
  virtual void onKeyDown(int vk) = 0;
  virtual void onMouseMove(int x, int y) = 0;  // pointer moved, not over a push button
  virtual void onCloseRequest() = 0;           // the window's close (system close key, window manager)
  virtual void onMinimize() = 0;
  virtual void onRestore() = 0;
  virtual void onMoveSizeStart() = 0;  // the window switches between full screen and a window
  virtual void onMoveSizeEnd() = 0;
};

class TApplication {
 public:
  using IdleHandler = std::function<void(bool& done)>;

  explicit TApplication(Platform& platform);
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  Platform& platform() { return platform_; }
  KeyboardState& keyboard() { return keyboard_; }

  // The one idle slot: setting replaces whatever is there, clearing empties it whoever holds it.
  void setIdleHandler(IdleHandler handler);
  void clearIdleHandler();
  bool hasIdleHandler() const { return static_cast<bool>(idle_); }

  // Handles every pending event, then returns. Safe to call from inside an idle handler.
  void ProcessMessages();
  // Main loop: events first; the idle handler only when none is pending; waits when the slot is empty.
  void Run();
  // One idle pass without waiting: runs the handler in the slot, if any. Returns its done flag
  // (true when the slot is empty). Tests drive timers through this.
  bool IdleOnce();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  bool Active() const { return active_; }
  int addActivationListener(std::function<void(bool active)> listener);
  void removeActivationListener(int id);

  void setForm(FormEventSink* form) { form_ = form; }
  // The harness's own events (State, Shot) go here.
  void setHarnessHandler(std::function<void(const Event&)> handler) { harness_ = std::move(handler); }

  void addButton(TButton* button);
  void removeButton(TButton* button);
  void buttonsChanged();

  // An exception that escaped a handler: printed to stderr, and the program goes on.
  void HandleException(const std::exception& e);
  // How many did so far (a headless run that had any ends with a failure status).
  int exceptionCount() const { return exceptions_; }

 private:
  void dispatch(const Event& e);
  void pointerEvent(const Event& e);
  void setActive(bool active);
  void idlePass();

  Platform& platform_;
  KeyboardState keyboard_;
  IdleHandler idle_;
  bool terminated_ = false;
  int exceptions_ = 0;
  bool active_ = true;
  FormEventSink* form_ = nullptr;
  std::function<void(const Event&)> harness_;
  std::vector<TButton*> buttons_;
  TButton* captured_ = nullptr;
  struct Listener {
    int id;
    std::function<void(bool)> fn;
  };
  std::vector<Listener> activation_;
  int nextListenerId_ = 1;
};

}  // namespace kv
