#include "platform/sdl/stop_signals.h"

#include <signal.h>

#include <atomic>
#include <iterator>

namespace kv::stop_signals {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler may run on any of the program's threads (SDL's, the sound's): all it does is set this.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

struct Saved {
  bool caught = false;
  struct sigaction before {};
};
Saved saved[std::size(kSignals)];

void onStopSignal(int) {
  stopRequested.store(true, std::memory_order_relaxed);
}

}  // namespace

void install() {
  stopRequested = false;
  for (size_t i = 0; i < std::size(kSignals); ++i) {
    if (saved[i].caught) continue;
    struct sigaction before {};
    if (sigaction(kSignals[i], nullptr, &before) != 0 || before.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted writes (the trace into a pipe) carry on; the handler goes after its first call.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    if (sigaction(kSignals[i], &action, nullptr) == 0) saved[i] = {true, before};
  }
}

void restore() {
  for (size_t i = 0; i < std::size(kSignals); ++i) {
    if (!saved[i].caught) continue;
    sigaction(kSignals[i], &saved[i].before, nullptr);
    saved[i].caught = false;
  }
  stopRequested = false;
}

bool requested() {
  return stopRequested.load(std::memory_order_relaxed);
}

}  // namespace kv::stop_signals
