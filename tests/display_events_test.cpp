// What the display control tells its listeners and its event handlers, and in which order: at
// initialization, finalization, registration, window moves, and when something raises.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "gfx/dxdraw.h"
#include "platform/components/component_errors.h"
#include "tests/display_fixture.h"

namespace kv {
namespace {

using namespace testing_display;

// ---- what listeners are told ----

TEST_F(DisplayTest, InitializeTellsListenersInReverseOrderOfRegistration) {
  handlers();
  listen(&a, "A");
  listen(&b, "B");
  EXPECT_EQ(log, (Log{"A:SetSurfaceSize", "B:SetSurfaceSize"}));
  log.clear();
  draw.Initialize();
  EXPECT_EQ(log,
            (Log{"OnInitializing", "B:Initializing", "A:Initializing", "B:SetSurfaceSize", "A:SetSurfaceSize",
                 "B:Initialize", "A:Initialize", "OnInitialize", "B:InitializeSurface", "A:InitializeSurface",
                 "OnInitializeSurface", "B:Restore", "A:Restore", "OnRestoreSurface"}));
  log.clear();
  draw.Finalize();
  EXPECT_EQ(log, (Log{"OnFinalizeSurface", "B:FinalizeSurface", "A:FinalizeSurface", "OnFinalize",
                      "B:Finalize", "A:Finalize"}));
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(video.deviceExists());
}

TEST_F(DisplayTest, LateListenersCatchUpAndLeavingListenersAreFinalized) {
  draw.Initialize();
  listen(&a, "A");
  EXPECT_EQ(log, (Log{"A:SetSurfaceSize", "A:Initialize", "A:InitializeSurface", "A:Restore"}));
  log.clear();
  draw.UnRegisterNotifyEvent(&a);
  EXPECT_EQ(log, (Log{"A:FinalizeSurface", "A:Finalize"}));
  log.clear();
  draw.Finalize();
  EXPECT_TRUE(log.empty());
  listen(&a, "A");
  draw.UnRegisterNotifyEvent(&a);
  EXPECT_EQ(log, (Log{"A:SetSurfaceSize"}));
}

TEST_F(DisplayTest, AListenerJoiningDuringInitializeGetsNoEarlyRestore) {
  draw.RegisterNotifyEvent(&a, [&](TDXDraw&, N t) {
    if (t == N::Initialize) listen(&b, "B");
  });
  draw.Initialize();
  // B joined while Initialize was still running: it gets Restore once, with everyone else.
  EXPECT_EQ(log, (Log{"B:SetSurfaceSize", "B:Initialize", "B:InitializeSurface", "B:Restore"}));
}

TEST_F(DisplayTest, AListenerThatLeftHearsNothingMore) {
  // B, told first, sends A away while Finalize is being told: A gets its own farewell only.
  draw.Initialize();
  listen(&a, "A");
  draw.RegisterNotifyEvent(&b, [this](TDXDraw& d, N t) {
    if (t == N::FinalizeSurface) d.UnRegisterNotifyEvent(&a);
  });
  log.clear();
  draw.Finalize();
  EXPECT_EQ(log, (Log{"A:FinalizeSurface", "A:Finalize"}));
  draw.UnRegisterNotifyEvent(&b);
}

TEST_F(DisplayTest, BusyWhileInitializingFinalizingAndRestoring) {
  std::vector<std::pair<N, bool>> seen;
  draw.RegisterNotifyEvent(&a, [&](TDXDraw& d, N t) {
    seen.push_back({t, d.Busy()});
    EXPECT_EQ(d.CanDraw(), !d.Busy() && d.Initialized()) << name(t);
    d.Flip();  // never presents while busy
  });
  draw.Initialize();
  draw.Finalize();
  const std::vector<std::pair<N, bool>> expected{{N::SetSurfaceSize, false},    {N::Initializing, true},
                                                 {N::SetSurfaceSize, false},    {N::Initialize, false},
                                                 {N::InitializeSurface, false}, {N::Restore, true},
                                                 {N::FinalizeSurface, true},    {N::Finalize, true}};
  EXPECT_EQ(seen, expected);
  // The listener's flips during SetSurfaceSize, Initialize and InitializeSurface were the only ones.
  EXPECT_EQ(video.presentCount(), 3);
  draw.UnRegisterNotifyEvent(&a);
}

TEST_F(DisplayTest, MoveOrSizeFinalizesAndInitializesAgain) {
  draw.FormShown();
  ASSERT_TRUE(draw.Initialized());
  listen(&a, "A");
  log.clear();
  draw.FormMoveSizeStart();
  EXPECT_EQ(log, (Log{"A:FinalizeSurface", "A:Finalize"}));
  EXPECT_FALSE(draw.Initialized());
  log.clear();
  draw.FormMoveSizeEnd();
  EXPECT_EQ(log,
            (Log{"A:Initializing", "A:SetSurfaceSize", "A:Initialize", "A:InitializeSurface", "A:Restore"}));
  // While the form is loading, moves and sizes are not the user's.
  log.clear();
  draw.SetFormLoading(true);
  draw.FormMoveSizeStart();
  draw.FormMoveSizeEnd();
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(draw.Initialized());
}

TEST_F(DisplayTest, ShownInitializesOnceAndOnlyWithAutoInitialize) {
  draw.AutoInitialize = false;
  draw.FormShown();
  EXPECT_FALSE(draw.Initialized());
  draw.AutoInitialize = true;
  draw.FormShown();
  EXPECT_TRUE(draw.Initialized());
  draw.FormDestroyed();
  EXPECT_FALSE(draw.Initialized());
  draw.FormShown();  // initialization was attempted already
  EXPECT_FALSE(draw.Initialized());
}

TEST_F(DisplayTest, DestroyingComesLastWhenTheDisplayGoesAway) {
  {
    TDXDraw d(video);
    configureLikeTheGame(d);
    d.Initialize();
    d.RegisterNotifyEvent(&a, [&](TDXDraw&, N t) { log.push_back(name(t)); });
    log.clear();
  }
  EXPECT_EQ(log, (Log{"FinalizeSurface", "Finalize", "Destroying"}));
  EXPECT_FALSE(video.deviceExists());
}

TEST_F(DisplayTest, WithoutAFormNothingInitializes) {
  TDXDraw orphan(video, false);
  EXPECT_EQ(thrownBy([&] { orphan.Initialize(); }), "Form not found");
  EXPECT_THROW(orphan.Initialize(), EDXDrawError);
  EXPECT_FALSE(orphan.Initialized());
  EXPECT_FALSE(video.deviceExists());
}

TEST_F(DisplayTest, NoDeviceMeansDirectDrawCannotBeInitialized) {
  video.setCreateFails(true);
  listen(&a, "A");
  log.clear();
  EXPECT_EQ(thrownBy([&] { draw.Initialize(); }), "DirectDraw cannot be initialized");
  EXPECT_THROW(draw.Initialize(), EDirectDrawError);
  // No device was made, so there was nothing to finalize.
  EXPECT_EQ(log, (Log{"A:Initializing", "A:Initializing"}));
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(draw.Busy());
  draw.Flip();
  EXPECT_EQ(video.presentCount(), 0);
  video.setCreateFails(false);
  draw.Initialize();
  EXPECT_TRUE(draw.Initialized());
}

TEST_F(DisplayTest, AListenerFailingAtFinalizeStillLetsTheDisplayGo) {
  draw.Initialize();
  listen(&a, "A");
  draw.RegisterNotifyEvent(&b, [](TDXDraw&, N t) {
    if (t == N::FinalizeSurface) throw std::runtime_error("listener failed");
  });
  log.clear();
  EXPECT_EQ(thrownBy([&] { draw.Finalize(); }), "listener failed");
  EXPECT_EQ(log, (Log{"A:Finalize"}));
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(draw.Busy());
  EXPECT_FALSE(video.deviceExists());
  EXPECT_EQ(draw.Surface(), nullptr);
}

TEST_F(DisplayTest, AListenerFailingAtInitializeLeavesLaterListenersWhole) {
  bool fail = true;
  draw.RegisterNotifyEvent(&a, [&](TDXDraw&, N t) {
    if (t == N::Initialize && fail) throw std::runtime_error("no images");
  });
  EXPECT_EQ(thrownBy([&] { draw.Initialize(); }), "no images");
  EXPECT_FALSE(draw.Busy());
  // The display is up; a listener joining now must get its Restore.
  listen(&b, "B");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "B:Restore");
  draw.UnRegisterNotifyEvent(&a);
}

}  // namespace
}  // namespace kv
