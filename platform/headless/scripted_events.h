#pragma once
// Window events from a script, delivered on virtual time; when the script is used up the window closes.
#include <vector>

#include "platform/headless/script.h"
#include "platform/seam/event_source.h"

namespace kv {

class VirtualClock;

class ScriptedEvents : public EventSource {
 public:
  ScriptedEvents(VirtualClock& clock, std::vector<ScriptEvent> events);
  bool poll(Event& out) override;
  void waitForEvent() override;

  // Tests add events while a program runs.
  void push(const ScriptEvent& e) { events_.push_back(e); }
  bool exhausted() const { return next_ >= events_.size(); }
  // Tests that feed events as they go keep the window open when the script runs dry.
  void setQuitWhenDone(bool quit) { quitWhenDone_ = quit; }

 private:
  VirtualClock& clock_;
  std::vector<ScriptEvent> events_;
  size_t next_ = 0;
  bool quitWhenDone_ = true;
};

}  // namespace kv
