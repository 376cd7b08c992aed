#pragma once
// TDXTimer: a timer that ticks from the application's idle pass, not from an operating-system timer.
// With an interval of 0 it fires on every idle pass and keeps the main loop from waiting.
#include <cstdint>
#include <functional>

namespace kv {

class TApplication;
class Clock;

class TDXTimer {
 public:
  using TimerEvent = std::function<void(TDXTimer& sender, int lagCount)>;
  using NotifyEvent = std::function<void(TDXTimer& sender)>;

  TDXTimer(TApplication& app, Clock& clock);
  ~TDXTimer();
  TDXTimer(const TDXTimer&) = delete;
  TDXTimer& operator=(const TDXTimer&) = delete;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t value);
  bool ActiveOnly() const { return activeOnly_; }
  void SetActiveOnly(bool value) { activeOnly_ = value; }
  // While loading from the stored settings Enabled only records the wish; Loaded() acts on it.
  void BeginLoading() { loading_ = true; }
  void Loaded();

  bool Running() const { return running_; }
  int FrameRate() const { return measuredFrameRate_; }
  uint32_t TickDivisor() const { return tickDivisor_; }

  TimerEvent OnTimer;
  NotifyEvent OnActivate;
  NotifyEvent OnDeactivate;

  // The idle handler; public so that tests can drive a timer without a main loop.
  void IdleTick(bool& done);

 private:
  void Arm();
  void Disarm();
  void AttachIdle();
  void AppActivated(bool active);

  TApplication& app_;
  Clock& clock_;
  bool activeOnly_ = true;
  bool enabled_ = true;
  bool loading_ = false;
  uint32_t interval_ = 1000;
  uint32_t compareInterval_ = 1000;
  uint32_t tickDivisor_ = 1000;
  bool running_ = false;
  uint32_t lastTickTime_ = 0;
  uint32_t rateWindowStart_ = 0;
  int32_t rateFrameCount_ = 0;
  int32_t measuredFrameRate_ = 0;
  int activationHook_ = 0;
};

}  // namespace kv
