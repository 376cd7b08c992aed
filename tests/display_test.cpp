// The display control over the headless display: effective options, the choice of the full-screen
// mode, presenting, lost surfaces and resizing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gfx/direct_draw.h"
#include "gfx/dxdraw.h"
#include "gfx/turbopixels.h"
#include "platform/components/component_errors.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"
#include "tests/display_fixture.h"

namespace kv {
namespace {

using namespace testing_display;

// ---- effective options ----

TEST_F(DisplayTest, GameOptionsLoadAsFullScreenAndAllowRebootOnly) {
  EXPECT_EQ(draw.Options(), 0x3405);
  EXPECT_EQ(draw.NowOptions(), 0x0005);
  draw.Initialize();
  EXPECT_EQ(draw.NowOptions(), 0x0005);
  EXPECT_EQ(draw.CooperativeLevel(), 0x53u);
  // The Play button: the requested options plus the wait for the vertical blank.
  draw.SetOptions(draw.Options() | doWaitVBlank);
  EXPECT_EQ(draw.Options(), 0x340D);
  EXPECT_EQ(draw.NowOptions(), 0x000D);
}

TEST_F(DisplayTest, OptionsDerivedWhileNotInitialized) {
  struct Case {
    TDXDrawOptions options, now;
  };
  const Case cases[] = {
      {0x368C, 0x2688},  // the defaults: windowed drops allow-reboot, hardware always goes
      {0x3404, 0x0000},  // the game's options without full screen
      {0x0117, 0x0117},  // with full screen the window, reboot, palette and flip bits stay
      {0x0137, 0x0037},  // full screen, system memory: no flip
      {0x0116, 0x0000},  // without full screen: no window change, reboot, palette 256, flip
      {0x1E00, 0x0600},  // 3-D with DirectX 7 mode: no retained mode, no hardware
      {0x0A00, 0x0A00},  // 3-D without DirectX 7 mode keeps retained mode
      {0x7C00, 0x0000},  // no 3-D: none of the 3-D bits
  };
  for (const Case& c : cases) {
    draw.SetOptions(c.options);
    EXPECT_EQ(draw.NowOptions(), c.now) << std::hex << c.options;
  }
}

TEST_F(DisplayTest, WhileInitializedOnlyWaitStretchAndCenterFollow) {
  draw.Initialize();
  draw.SetOptions(0);  // not even full screen may go while the mode is set
  EXPECT_EQ(draw.NowOptions(), 0x0005);
  draw.SetOptions(0xFFFF);
  EXPECT_EQ(draw.NowOptions(), 0x0005 | doWaitVBlank | doStretch | doCenter);
  draw.SetOptions(0x3404 | doWaitVBlank);  // windowed, waiting
  EXPECT_EQ(draw.NowOptions(), 0x000D);
  // Finalizing derives again from what was asked for.
  draw.Finalize();
  EXPECT_EQ(draw.NowOptions(), doWaitVBlank);
}

// ---- display modes ----

TEST_F(DisplayTest, ModesAreListedSortedAndForgottenAtFinalize) {
  video.setModes({{1024, 768, 16}, {800, 600, 32}, {800, 600, 16}, {640, 480, 16}, {800, 480, 16}});
  draw.Initialize();
  const std::vector<TDXDrawDisplayMode> sorted{
      {640, 480, 16}, {800, 480, 16}, {800, 600, 16}, {800, 600, 32}, {1024, 768, 16}};
  EXPECT_EQ(draw.DisplayModes(), sorted);
  draw.Finalize();
  video.setModes({{800, 600, 16}});
  draw.Initialize();
  EXPECT_EQ(draw.DisplayModes(), (std::vector<TDXDrawDisplayMode>{{800, 600, 16}}));
}

TEST_F(DisplayTest, TheGameGets800x600At16Bits) {
  draw.Initialize();
  EXPECT_EQ(video.currentMode(), (DisplayModeDesc{800, 600, 16}));
  EXPECT_TRUE(draw.Initialized());
  ASSERT_NE(draw.Surface(), nullptr);
  EXPECT_EQ(draw.Surface()->Width(), 800);
  EXPECT_EQ(draw.Surface()->Height(), 566);
}

TEST_F(DisplayTest, WithoutA16BitModeTheHighestDepthOfTheSizeWins) {
  video.setModes({{640, 480, 16}, {800, 600, 8}, {800, 600, 24}, {800, 600, 32}, {1024, 768, 16}});
  draw.Initialize();
  EXPECT_EQ(video.currentMode(), (DisplayModeDesc{800, 600, 32}));
  EXPECT_EQ(draw.Display.BitCount(), 32);
  EXPECT_EQ(draw.Display.Width, 800);
  draw.Finalize();
  video.setModes({{800, 600, 8}, {800, 600, 24}});
  draw.Display.SetBitCount(16);
  draw.Initialize();
  EXPECT_EQ(video.currentMode(), (DisplayModeDesc{800, 600, 24}));
}

TEST_F(DisplayTest, ARefusedModeNamesTheRequestAndLeavesNothingBehind) {
  // The device lists 800x600x16 but refuses it: the search keeps preferring 16 bits and fails.
  video.refuseMode({800, 600, 16});
  EXPECT_EQ(thrownBy([&] { draw.Initialize(); }), "Display mode cannot be changed (800x600 16bit)");
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(draw.Busy());
  EXPECT_FALSE(video.deviceExists());
  EXPECT_EQ(draw.Surface(), nullptr);
  EXPECT_THROW(draw.Initialize(), EDXDrawError);
  // Only 8 bits at that size: a 16-bit request cannot go down to 8.
  video.setModes({{800, 600, 8}});
  EXPECT_EQ(thrownBy([&] { draw.Initialize(); }), "Display mode cannot be changed (800x600 16bit)");
  // A request for 8 bits may go up.
  video.setModes({{800, 600, 32}});
  draw.Display.SetBitCount(8);
  draw.Initialize();
  EXPECT_EQ(video.currentMode(), (DisplayModeDesc{800, 600, 32}));
}

TEST_F(DisplayTest, FixedBitCountRefusesOtherDepths) {
  video.setModes({{800, 600, 32}});
  draw.Display.FixedBitCount = true;
  EXPECT_EQ(thrownBy([&] { draw.Initialize(); }), "Display mode cannot be changed (800x600 16bit)");
}

TEST_F(DisplayTest, WindowedSetsNoMode) {
  draw.SetOptions(0x3404);
  video.refuseMode({800, 600, 16});
  draw.Initialize();
  EXPECT_EQ(draw.CooperativeLevel(), 0x08u);
  EXPECT_EQ(video.currentMode(), DisplayModeDesc{});
  EXPECT_TRUE(draw.Initialized());
}

// ---- presenting ----

TEST_F(DisplayTest, FlipShowsTheSurfaceAndWaitsOnlyOncePlayWasPressed) {
  draw.Flip();
  EXPECT_EQ(video.presentCount(), 0);  // nothing before initialization
  draw.Initialize();
  draw.Surface()->Row(565)[799] = 0x1234;
  draw.Flip();
  draw.Flip();
  EXPECT_EQ(video.presentCount(), 2);
  EXPECT_EQ(video.waitedPresentCount(), 0);
  EXPECT_EQ(clock.nowNs(), 2'000'000u);  // 1 ms per present that does not wait
  ASSERT_EQ(video.lastFrameWidth(), 800);
  ASSERT_EQ(video.lastFrameHeight(), 566);
  EXPECT_EQ(video.lastFrame().back(), 0x1234);

  draw.SetOptions(draw.Options() | doWaitVBlank);
  draw.Flip();
  EXPECT_EQ(video.waitedPresentCount(), 1);
  EXPECT_EQ(clock.nowNs(), 1'000'000'000u / 60);  // the next vertical blank
  draw.Flip();
  EXPECT_EQ(clock.nowNs(), 2'000'000'000u / 60);

  draw.SetVBlanksPerFlip(2);
  draw.Flip();
  EXPECT_EQ(clock.nowNs(), 4'000'000'000u / 60);
  EXPECT_EQ(video.vblankCount(), 4);
  EXPECT_EQ(video.presentCount(), 5);
}

// The display keeps the presented frame without copying it; whatever the surface does next (a
// pixel written, a lock, a whole fill, a flip while locked) shows only in the next presented frame.
TEST_F(DisplayTest, APresentedFrameStaysAsItWasWhateverTheSurfaceDoesNext) {
  draw.Initialize();
  TDirectDrawSurface& s = *draw.Surface();
  auto shown = [&](int32_t x, int32_t y) { return video.lastFrame()[static_cast<size_t>(y) * 800 + x]; };
  s.Fill(0x1111);
  draw.Flip();
  s.Row(10)[20] = 0x2222;
  EXPECT_EQ(shown(20, 10), 0x1111);
  EXPECT_EQ(s.Pixel(21, 10), 0x1111);  // the rest of the surface kept its pixels
  draw.Flip();
  EXPECT_EQ(shown(20, 10), 0x2222);

  for (uint16_t fill : {0x3333, 0x4444, 0x5555}) {  // fills take turns with the shown frames' memory
    s.Fill(fill);
    EXPECT_EQ(shown(0, 0), fill == 0x3333 ? 0x1111 : fill - 0x1111);
    EXPECT_EQ(shown(20, 10), fill == 0x3333 ? 0x2222 : fill - 0x1111);
    draw.Flip();
    EXPECT_EQ(shown(799, 565), fill);
  }

  ASSERT_TRUE(LockSurface(s));
  PutPixel(5, 5, 0xFFFFFF);
  EXPECT_EQ(shown(5, 5), 0x5555);
  draw.Flip();  // while locked: the frame is a copy, and later writes through the lock stay out of it
  const uint16_t white = shown(5, 5);
  EXPECT_NE(white, 0x5555);
  PutPixel(6, 5, 0xFFFFFF);
  UnlockSurface();
  EXPECT_EQ(shown(6, 5), 0x5555);
  EXPECT_EQ(s.Pixel(6, 5), white);
}

TEST(DisplayPaceTest, WaitingFlipsKeepThePaceOfTheRefresh) {
  // 144 Hz, whose blanks fall between whole nanoseconds: one second is 144 blanks whatever the
  // number of blanks per flip.
  for (int k : {1, 2, 3}) {
    VirtualClock clock;
    VirtualDisplay video{clock, 144};
    TDXDraw draw{video};
    configureLikeTheGame(draw);
    draw.Initialize();
    draw.SetOptions(draw.Options() | doWaitVBlank);
    draw.SetVBlanksPerFlip(k);
    for (int i = 0; i < 144 / k; ++i) draw.Flip();
    EXPECT_EQ(clock.nowNs(), 1'000'000'000u) << k;
    EXPECT_EQ(video.vblankCount(), 144) << k;
  }
}

TEST_F(DisplayTest, FillTakesRawPixelsAndZeroIsBlackInBothLayouts) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    video.setPixelLayout(layout);
    draw.Initialize();
    TDirectDrawSurface& s = *draw.Surface();
    EXPECT_EQ(s.Layout(), layout);
    s.Fill(0x7C00);
    EXPECT_TRUE(allPixelsAre(s, 0x7C00));  // raw, not converted
    s.Fill(0);
    draw.Flip();
    const RgbImage screen = video.screen();
    for (auto [x, y] : {std::pair{0, 0}, std::pair{799, 565}, std::pair{400, 300}}) {
      const uint8_t* p = screen.at(x, y);
      EXPECT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
    }
    draw.Finalize();
  }
}

TEST_F(DisplayTest, LostSurfacesComeBackBlackBeforeTheyAreShown) {
  draw.Initialize();
  listen(&a, "A");
  log.clear();
  draw.Surface()->Fill(0xFFFF);
  video.loseSurfaces();
  draw.Flip();
  EXPECT_EQ(log, (Log{"A:Restore"}));
  EXPECT_EQ(video.presentCount(), 1);
  EXPECT_TRUE(allPixelsAre(*draw.Surface(), 0));
  for (uint16_t p : video.lastFrame()) ASSERT_EQ(p, 0);
  EXPECT_FALSE(video.surfacesLost());
}

TEST_F(DisplayTest, SurfacesThatCannotBeRestoredShowNothingAndRaiseNothing) {
  draw.Initialize();
  listen(&a, "A");
  log.clear();
  video.loseSurfaces();
  video.setRestoreFails(true);
  EXPECT_NO_THROW(draw.Flip());
  EXPECT_NO_THROW(draw.Flip());
  EXPECT_FALSE(draw.CanDraw());
  EXPECT_EQ(video.presentCount(), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(draw.Busy());
  video.setRestoreFails(false);
  draw.Flip();
  EXPECT_EQ(log, (Log{"A:Restore"}));
  EXPECT_EQ(video.presentCount(), 1);
}

TEST_F(DisplayTest, ARestoreFailureOfAListenerReachesTheCallerOfFlip) {
  draw.Initialize();
  bool fail = false;
  draw.RegisterNotifyEvent(&a, [&](TDXDraw&, N t) {
    if (t == N::Restore && fail) throw EPictureCollectionError("Image surface cannot be made");
  });
  fail = true;
  video.loseSurfaces();
  EXPECT_THROW(draw.Flip(), EPictureCollectionError);
  EXPECT_EQ(video.presentCount(), 0);
  EXPECT_FALSE(draw.Busy());
  EXPECT_TRUE(draw.Initialized());
  fail = false;
  draw.Flip();
  EXPECT_EQ(video.presentCount(), 1);
  draw.UnRegisterNotifyEvent(&a);
}

TEST_F(DisplayTest, ALostDeviceRefusesLocksUntilRestored) {
  draw.Initialize();
  TDirectDrawSurface& s = *draw.Surface();
  video.loseSurfaces();
  EXPECT_TRUE(s.IsLost());
  EXPECT_FALSE(LockSurface(s));
  PutPixel(1, 1, 0xFFFFFF);
  UnlockSurface();
  draw.Flip();  // restores
  EXPECT_FALSE(s.IsLost());
  EXPECT_TRUE(LockSurface(s));
  PutPixel(1, 1, 0xFFFFFF);
  UnlockSurface();
  EXPECT_EQ(s.Pixel(1, 1), 0xFFFF);
}

TEST_F(DisplayTest, ASurfaceOutlivingItsDeviceStaysUsable) {
  ASSERT_TRUE(video.createDevice());
  auto device = std::make_unique<TDirectDraw>(video);
  TDirectDrawSurface s(device.get());
  ASSERT_TRUE(s.Create(8, 4, PixelLayout::Rgb565));
  video.loseSurfaces();
  EXPECT_TRUE(s.IsLost());
  EXPECT_TRUE(s.Restore());
  video.loseSurfaces();
  device.reset();
  EXPECT_FALSE(s.IsLost());  // no device left to lose its memory
  s.Fill(0x0F0F);
  EXPECT_EQ(s.Pixel(7, 3), 0x0F0F);
}

// ---- resizing ----

TEST_F(DisplayTest, ResizingAnInitializedDisplayRemakesTheSurface) {
  draw.Initialize();
  draw.Surface()->Fill(0x5555);
  listen(&a, "A");
  log.clear();
  draw.SetBounds(0, 0, 640, 480);
  EXPECT_EQ(log, (Log{"A:FinalizeSurface", "A:InitializeSurface", "A:SetSurfaceSize"}));
  EXPECT_EQ(draw.SurfaceWidth(), 640);
  EXPECT_EQ(draw.SurfaceHeight(), 480);
  EXPECT_TRUE(allPixelsAre(*draw.Surface(), 0));
  draw.Flip();
  EXPECT_EQ(video.lastFrameWidth(), 640);
  EXPECT_EQ(video.lastFrameHeight(), 480);
  // The same bounds again change nothing.
  log.clear();
  draw.SetBounds(0, 0, 640, 480);
  EXPECT_TRUE(log.empty());
  // The size is remembered across finalizing.
  draw.Finalize();
  EXPECT_EQ(draw.SurfaceWidth(), 640);
}

TEST_F(DisplayTest, ResizingBeforeInitializeOnlyStoresTheSize) {
  listen(&a, "A");
  log.clear();
  draw.SetBounds(0, 0, 320, 200);
  EXPECT_EQ(log, (Log{"A:SetSurfaceSize"}));
  EXPECT_EQ(draw.SurfaceWidth(), 320);
  draw.Initialize();
  EXPECT_EQ(draw.Surface()->Width(), 320);
  EXPECT_EQ(draw.Surface()->Height(), 200);
  draw.AutoSize = false;
  draw.SetBounds(0, 0, 800, 566);
  EXPECT_EQ(draw.Surface()->Width(), 320);
}

TEST_F(DisplayTest, ASurfaceThatCannotBeMadeFinalizesTheDisplay) {
  draw.Initialize();
  EXPECT_EQ(thrownBy([&] { draw.SetBounds(0, 0, 100000, 100); }), "Surface cannot be made");
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(video.deviceExists());
  EXPECT_EQ(thrownBy([&] { draw.Initialize(); }), "Surface cannot be made");
  EXPECT_FALSE(draw.Busy());
}

TEST_F(DisplayTest, ALockEndsWhenItsSurfaceGoesAway) {
  // The menu may hold the pixel lock while the window is minimised and restored.
  draw.Initialize();
  ASSERT_TRUE(LockSurface(*draw.Surface()));
  PutPixel(3, 3, 0xFFFFFF);
  EXPECT_EQ(GetPixel(3, 3), 0xFFFFu);
  draw.SetBounds(0, 0, 400, 300);  // the locked surface is remade
  EXPECT_EQ(GetPixel(3, 3), 0u);
  PutPixel(4, 4, 0xFFFFFF);
  EXPECT_EQ(draw.Surface()->Pixel(4, 4), 0);
  UnlockSurface();

  ASSERT_TRUE(LockSurface(*draw.Surface()));
  PutPixel(3, 3, 0xFFFFFF);
  draw.FormMoveSizeStart();  // the locked surface is released
  EXPECT_EQ(GetPixel(3, 3), 0u);
  PutPixel(5, 5, 0xFFFFFF);
  draw.FormMoveSizeEnd();
  PutPixel(6, 6, 0xFFFFFF);
  UnlockSurface();
  UnlockSurface();
  EXPECT_TRUE(allPixelsAre(*draw.Surface(), 0));
  EXPECT_TRUE(LockSurface(*draw.Surface()));
  UnlockSurface();
}

}  // namespace
}  // namespace kv
