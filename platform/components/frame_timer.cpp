#include "platform/components/frame_timer.h"

#include <cmath>

#include "platform/components/application.h"
#include "platform/seam/clock.h"

namespace kv {

TDXTimer::TDXTimer(TApplication& app, Clock& clock) : app_(app), clock_(clock) {
  activationHook_ = app_.addActivationListener([this](bool active) { AppActivated(active); });
}

TDXTimer::~TDXTimer() {
  Disarm();
  app_.removeActivationListener(activationHook_);
}

void TDXTimer::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  if (loading_) return;
  if (value) {
    Arm();
  } else {
    Disarm();
  }
}

void TDXTimer::Loaded() {
  loading_ = false;
  if (enabled_) Arm();
}

void TDXTimer::SetInterval(uint32_t value) {
  if (interval_ == value) return;
  interval_ = value;
  int32_t asSigned = static_cast<int32_t>(value);
  compareInterval_ = asSigned < 0 ? 0u : static_cast<uint32_t>(asSigned);
  tickDivisor_ = asSigned < 1 ? 1u : static_cast<uint32_t>(asSigned);
}

void TDXTimer::Arm() {
  Disarm();
  if (!activeOnly_ || app_.Active()) AttachIdle();
  running_ = true;
}

void TDXTimer::Disarm() {
  if (!running_) return;
  // Empties the slot whoever holds it: the two game timers share it.
  app_.clearIdleHandler();
  running_ = false;
}

void TDXTimer::AttachIdle() {
  lastTickTime_ = clock_.nowMs();
  rateWindowStart_ = clock_.nowMs();
  app_.setIdleHandler([this](bool& done) { IdleTick(done); });
}

void TDXTimer::IdleTick(bool& done) {
  done = false;
  uint32_t now = clock_.nowMs();
  uint32_t elapsed = now - lastTickTime_;
  if (elapsed < compareInterval_) return;
  lastTickTime_ = now;

  uint32_t lag = elapsed / tickDivisor_;
  if (lag < 1) lag = 1;

  ++rateFrameCount_;
  uint32_t window = now - rateWindowStart_;
  if (window < 1) window = 1;
  if (window >= 1000) {
    measuredFrameRate_ = static_cast<int32_t>(std::nearbyint(rateFrameCount_ * 1000.0 / window));
    rateFrameCount_ = 0;
    rateWindowStart_ = now;
  }
  if (OnTimer) OnTimer(*this, static_cast<int>(lag));
}

void TDXTimer::AppActivated(bool active) {
  if (active) {
    if (OnActivate) OnActivate(*this);
    if (running_ && activeOnly_) AttachIdle();
  } else {
    if (OnDeactivate) OnDeactivate(*this);
    if (running_ && activeOnly_) app_.clearIdleHandler();
  }
}

}  // namespace kv
