#include <gtest/gtest.h>

#include <vector>

#include "platform/components/application.h"
#include "platform/components/frame_timer.h"
#include "platform/headless/headless_backend.h"

namespace kv {
namespace {

class FrameTimerTest : public ::testing::Test {
 protected:
  FrameTimerTest() : backend(60, {}), platform(backend.platform()), app(platform) {
    backend.events.setQuitWhenDone(false);
  }
  void advanceMs(uint64_t ms) { backend.clock.advanceTo(backend.clock.nowNs() + ms * 1'000'000); }
  // Makes a timer as the window's resource does: loaded disabled, interval 0.
  void send(Event::Kind kind) {
    Event e;
    e.kind = kind;
    backend.events.push({0, e});
    app.ProcessMessages();
  }
  void load(TDXTimer& t, bool activeOnly = false, uint32_t interval = 0) {
    t.BeginLoading();
    t.SetActiveOnly(activeOnly);
    t.SetEnabled(false);
    t.SetInterval(interval);
    t.Loaded();
  }

  HeadlessBackend backend;
  Platform platform;
  TApplication app;
};

TEST_F(FrameTimerTest, IntervalZeroTicksEveryPassWithLagInMilliseconds) {
  TDXTimer t(app, backend.clock);
  load(t);
  std::vector<int> lags;
  t.OnTimer = [&](TDXTimer&, int lag) { lags.push_back(lag); };
  t.SetEnabled(true);
  EXPECT_FALSE(app.IdleOnce());  // a running timer keeps the loop from waiting
  advanceMs(7);
  app.IdleOnce();
  app.IdleOnce();  // same millisecond: still a tick, lag at least 1
  advanceMs(16);
  app.IdleOnce();
  EXPECT_EQ(lags, (std::vector<int>{1, 7, 1, 16}));
}

TEST_F(FrameTimerTest, LongIntervalWaitsAndCountsLagInIntervals) {
  TDXTimer t(app, backend.clock);
  load(t, false, 1000);
  std::vector<int> lags;
  t.OnTimer = [&](TDXTimer&, int lag) { lags.push_back(lag); };
  t.SetEnabled(true);
  advanceMs(999);
  bool done = app.IdleOnce();
  EXPECT_FALSE(done);  // no tick yet, but the loop still does not wait
  EXPECT_TRUE(lags.empty());
  advanceMs(1);
  app.IdleOnce();
  advanceMs(2500);
  app.IdleOnce();
  EXPECT_EQ(lags, (std::vector<int>{1, 2}));
}

TEST_F(FrameTimerTest, TheTwoTimersShareOneIdleSlot) {
  TDXTimer game(app, backend.clock), backdrop(app, backend.clock);
  load(game);
  load(backdrop);
  int gameTicks = 0, backdropTicks = 0;
  game.OnTimer = [&](TDXTimer&, int) { ++gameTicks; };
  backdrop.OnTimer = [&](TDXTimer&, int) { ++backdropTicks; };

  backdrop.SetEnabled(true);
  app.IdleOnce();
  game.SetEnabled(true);  // takes the slot: only the game ticks now
  app.IdleOnce();
  app.IdleOnce();
  EXPECT_EQ(backdropTicks, 1);
  EXPECT_EQ(gameTicks, 2);

  // The backdrop still counts as running, so switching it off empties the slot the game holds.
  backdrop.SetEnabled(false);
  EXPECT_FALSE(app.hasIdleHandler());
  EXPECT_TRUE(game.Running());
  app.IdleOnce();
  EXPECT_EQ(gameTicks, 2);
}

TEST_F(FrameTimerTest, EnablingAgainChangesNothingAndRestartingResetsTheTimeBase) {
  TDXTimer t(app, backend.clock);
  load(t);
  std::vector<int> lags;
  t.OnTimer = [&](TDXTimer&, int lag) { lags.push_back(lag); };
  t.SetEnabled(true);
  advanceMs(40);
  t.SetEnabled(true);  // same value: the time base stays
  app.IdleOnce();
  t.SetEnabled(false);
  advanceMs(500);
  t.SetEnabled(true);  // a real restart: the first tick reports the time since the restart
  advanceMs(3);
  app.IdleOnce();
  EXPECT_EQ(lags, (std::vector<int>{40, 3}));
}

TEST_F(FrameTimerTest, ActiveOnlyFollowsTheApplicationAndOtherwiseTicksInTheBackground) {
  TDXTimer always(app, backend.clock);
  load(always, false);
  int ticks = 0;
  always.OnTimer = [&](TDXTimer&, int) { ++ticks; };
  always.SetEnabled(true);
  send(Event::Kind::Deactivate);
  app.IdleOnce();
  EXPECT_EQ(ticks, 1);
  always.SetEnabled(false);

  TDXTimer foreground(app, backend.clock);
  load(foreground, true);
  int activations = 0, deactivations = 0;
  foreground.OnTimer = [&](TDXTimer&, int) { ++ticks; };
  foreground.OnActivate = [&](TDXTimer&) { ++activations; };
  foreground.OnDeactivate = [&](TDXTimer&) { ++deactivations; };
  foreground.SetEnabled(true);  // the application is in the background: running but not attached
  EXPECT_TRUE(foreground.Running());
  EXPECT_FALSE(app.hasIdleHandler());
  send(Event::Kind::Activate);
  EXPECT_TRUE(app.hasIdleHandler());
  app.IdleOnce();
  EXPECT_EQ(ticks, 2);
  send(Event::Kind::Deactivate);
  EXPECT_FALSE(app.hasIdleHandler());
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(deactivations, 1);
}

TEST_F(FrameTimerTest, FrameRateIsMeasuredOncePerSecond) {
  TDXTimer t(app, backend.clock);
  load(t);
  t.SetEnabled(true);
  for (int i = 0; i < 59; ++i) {
    advanceMs(16);
    app.IdleOnce();
  }
  EXPECT_EQ(t.FrameRate(), 0);  // 944 ms: not yet a second
  for (int i = 0; i < 4; ++i) {
    advanceMs(16);
    app.IdleOnce();
  }
  // The window closes at the 63rd tick, 1008 ms in: 63000 / 1008 = 62.5 rounds to the even 62.
  EXPECT_EQ(t.FrameRate(), 62);
  advanceMs(500);
  app.IdleOnce();
  EXPECT_EQ(t.FrameRate(), 62);
}

TEST_F(FrameTimerTest, ExceptionInATickIsReportedAndTheTimerTicksAgain) {
  TDXTimer t(app, backend.clock);
  load(t);
  int calls = 0;
  t.OnTimer = [&](TDXTimer&, int) {
    if (++calls == 1) throw std::runtime_error("boom");
  };
  t.SetEnabled(true);
  testing::internal::CaptureStderr();
  app.IdleOnce();
  std::string err = testing::internal::GetCapturedStderr();
  app.IdleOnce();
  EXPECT_NE(err.find("boom"), std::string::npos);
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace kv
