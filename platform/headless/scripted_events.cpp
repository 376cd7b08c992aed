#include "platform/headless/scripted_events.h"

#include "platform/headless/virtual_clock.h"

namespace kv {

ScriptedEvents::ScriptedEvents(VirtualClock& clock, std::vector<ScriptEvent> events)
    : clock_(clock), events_(std::move(events)) {}

bool ScriptedEvents::poll(Event& out) {
  if (next_ >= events_.size()) {
    if (!quitWhenDone_) return false;
    // After the last line the program closes as if the window were closed.
    out = Event{};
    out.kind = Event::Kind::Quit;
    return true;
  }
  const ScriptEvent& e = events_[next_];
  if (e.timeMs * 1'000'000 > clock_.nowNs()) return false;
  out = e.event;
  ++next_;
  return true;
}

void ScriptedEvents::waitForEvent() {
  if (next_ >= events_.size()) return;
  clock_.advanceTo(events_[next_].timeMs * 1'000'000);
}

}  // namespace kv
