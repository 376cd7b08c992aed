// The desktop back end under SDL's dummy video and audio drivers: no screen is needed, but the
// window, the renderer, the textures and the sound thread are the real ones.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <SDL2/SDL.h>

#include "platform/audio/audio_system.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_video.h"
#include "platform/support/rgb_image.h"
#include "sdl_dummy_backend.h"

namespace kv {
namespace {

class SdlBackendTest : public SdlDummyBackendTest {};

// An 800x566 frame with every red, green and blue level somewhere in it.
std::vector<uint16_t> testFrame() {
  std::vector<uint16_t> px(800 * 566);
  for (int y = 0; y < 566; ++y) {
    for (int x = 0; x < 800; ++x) {
      const unsigned r = (x / 25) & 31, g = (y / 9) & 63, b = ((x + y) / 7) & 31;
      px[static_cast<size_t>(y) * 800 + x] = static_cast<uint16_t>(r << 11 | g << 5 | b);
    }
  }
  return px;
}

Frame16 frameOf(const std::vector<uint16_t>& px) {
  Frame16 f;
  f.pixels = px.data();
  f.width = 800;
  f.height = 566;
  f.pitchPixels = 800;
  f.layout = PixelLayout::Rgb565;
  return f;
}

// The largest difference of one colour channel between two pictures, within a rectangle.
int maxDifference(const RgbImage& a, const RgbImage& b, int x0 = 0, int y0 = 0, int w = 800, int h = 600) {
  if (a.width != b.width || a.height != b.height) return 256;
  int d = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(a.at(x, y)[c] - b.at(x, y)[c]));
  return d;
}

// The screenshot widens 5-6-5 pixels by bit replication; SDL's renderer scales them and may come
// out one level lower. The buttons are 24-bit pictures and must match exactly.
void expectSameScreen(const RgbImage& saved, const RgbImage& shown, const std::vector<ButtonView>& buttons) {
  EXPECT_LE(maxDifference(saved, shown), 1);
  for (const ButtonView& b : buttons) {
    EXPECT_EQ(maxDifference(saved, shown, b.left, b.top, b.width, b.height), 0) << b.caption;
  }
}

std::string tempPath(const char* name) {
  return ::testing::TempDir() + name;
}

TEST_F(SdlBackendTest, TheWindowShowsWhatTheScreenshotShows) {
  SdlVideo& v = video();
  ASSERT_TRUE(v.openWindow()) << v.error();
  ASSERT_TRUE(v.createDevice()) << v.error();
  EXPECT_TRUE(v.setMode({800, 600, 16}));
  EXPECT_TRUE(v.setMode({800, 600, 32}));
  EXPECT_FALSE(v.setMode({640, 480, 16}));
  EXPECT_EQ(v.pixelLayout(), PixelLayout::Rgb565);
  EXPECT_EQ(v.refreshRateHz(), 0);  // the dummy driver cannot tell

  const std::vector<uint16_t> px = testFrame();
  v.present(frameOf(px), 0);
  std::vector<ButtonView> buttons{{331, 407, 127, 57, "Play", false, true},
                                  {331, 501, 127, 57, "Exit", true, true},
                                  {309, 470, 25, 25, "1", false, false}};
  v.setButtons(buttons);
  v.repaint();

  const std::string shot = tempPath("sdl_backend_shot.bmp");
  ASSERT_TRUE(v.saveScreenshot(shot));
  const RgbImage saved = readBmp24(shot);
  std::remove(shot.c_str());
  const RgbImage shown = v.readBack();
  ASSERT_EQ(shown.width, 800);
  expectSameScreen(saved, shown, buttons);
  // The strip below the frame is black, the frame's corner is the frame's colour widened.
  EXPECT_EQ(shown.at(10, 580)[0], 0);
  const uint16_t corner = px[799];
  EXPECT_EQ(saved.at(799, 0)[0], ((corner >> 11) & 31) << 3 | ((corner >> 11) & 31) >> 2);

  // A lost device comes back with the same picture; a released one shows only the buttons.
  v.renderTargetsReset(true);
  EXPECT_TRUE(v.surfacesLost());
  EXPECT_TRUE(v.restoreSurfaces());
  EXPECT_FALSE(v.surfacesLost());
  expectSameScreen(saved, v.readBack(), buttons);
  v.releaseDevice();
  EXPECT_FALSE(v.setMode({800, 600, 16}));
  const RgbImage bare = v.readBack();
  EXPECT_EQ(bare.at(100, 100)[0] | bare.at(100, 100)[1] | bare.at(100, 100)[2], 0);
  EXPECT_GT(maxDifference(saved, bare), 1);
  EXPECT_EQ(bare.at(340, 420)[0], saved.at(340, 420)[0]);  // a button's face is still there
  ASSERT_TRUE(v.createDevice());
  expectSameScreen(saved, v.readBack(), buttons);
}

TEST_F(SdlBackendTest, AScaledWindowShowsTheScreenExactlyAndMapsThePointerBack) {
  SdlVideo& v = video();
  ASSERT_TRUE(v.openWindow()) << v.error();
  ASSERT_TRUE(v.createDevice()) << v.error();
  // No graphics card here: our scaler draws into the window's own framebuffer.
  EXPECT_STREQ(v.rendererName(), "window framebuffer");
  SDL_Window* window = SDL_GetWindowFromID(v.windowId());
  SDL_SetWindowSize(window, 1920, 1080);
  const std::vector<uint16_t> px = testFrame();
  const std::vector<ButtonView> buttons{{331, 407, 127, 57, "Play", false, true}};
  v.setButtons(buttons);
  v.present(frameOf(px), 0);
  const std::string shot = tempPath("sdl_scaled_shot.bmp");
  ASSERT_TRUE(v.saveScreenshot(shot));
  const RgbImage saved = readBmp24(shot);
  std::remove(shot.c_str());
  EXPECT_EQ(maxDifference(saved, v.readBack()), 0);
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->w, 1920);

  // 1.8 window pixels a screen pixel, between 240-pixel bars: Play's centre (394, 435) is shown at
  // (240 + 710, 783); a press in the bar is not the game's, its release is pulled to the edge.
  auto pushButton = [&](Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = v.windowId();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
  };
  EventSource& events = backend.platform().events;
  Event e;
  while (events.poll(e)) {
  }
  pushButton(SDL_MOUSEBUTTONDOWN, 950, 783);
  pushButton(SDL_MOUSEBUTTONDOWN, 100, 500);
  pushButton(SDL_MOUSEBUTTONUP, 1900, 1079);
  std::vector<Event> got;
  for (int round = 0; round < 2; ++round) {
    while (events.poll(e)) {
      if (e.kind == Event::Kind::MouseDown || e.kind == Event::Kind::MouseUp) got.push_back(e);
    }
  }
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, Event::Kind::MouseDown);
  EXPECT_EQ(std::make_pair(got[0].x, got[0].y), std::make_pair(394, 435));
  EXPECT_EQ(got[1].kind, Event::Kind::MouseUp);
  EXPECT_EQ(std::make_pair(got[1].x, got[1].y), std::make_pair(799, 599));
}

TEST_F(SdlBackendTest, SynchronisedPresentsKeepToTheRefreshPeriod) {
  SdlVideo& v = video();
  ASSERT_TRUE(v.openWindow()) << v.error();
  ASSERT_TRUE(v.createDevice()) << v.error();
  const std::vector<uint16_t> px = testFrame();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 16; ++i) v.present(frameOf(px), 1);
  const auto took = std::chrono::steady_clock::now() - start;
  // The rate is unknown here, so the game is held to 75 Hz at most, whatever the renderer does.
  EXPECT_GE(took, std::chrono::microseconds(15 * 1'000'000 / 75));
  EXPECT_EQ(v.pacerStats().presents, 16u);
}

TEST_F(SdlBackendTest, AnUnreportedRateIsMeasuredFromPresentsThatWait) {
  // SDL's software renderer here waits in its presents by a millisecond clock, as for a display of
  // 60 Hz it cannot read: 16 ms a present. The dummy driver reports no rate, so that is measured.
  setenv("SDL_RENDER_DRIVER", "software", 1);
  SdlVideo& v = video();
  const int hz = v.refreshRateHz();
  unsetenv("SDL_RENDER_DRIVER");
  EXPECT_STREQ(v.rendererName(), "software");
  EXPECT_TRUE(hz == 62 || hz == 63) << hz;  // 62.5 Hz, rounded either way by the clock's jitter
  EXPECT_EQ(v.pacerPeriodNs(), 1'000'000'000u / static_cast<unsigned>(hz));
}

TEST_F(SdlBackendTest, TheSoundCardPullsFromTheMixer) {
  AudioDevice& audio = backend.platform().audio;
  std::atomic<int> frames{0};
  int seenInLock = -1;
  ASSERT_TRUE(audio.open(44100, [&](int16_t* out, int n) {
    for (int i = 0; i < 2 * n; ++i) out[i] = 0;
    frames += n;
  }));
  EXPECT_TRUE(audio.isOpen());
  EXPECT_EQ(audio.sampleRate(), 44100);
  for (int i = 0; i < 200 && frames == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GT(frames.load(), 0);
  {
    // While locked the callback cannot run.
    AudioLock lock(&audio);
    seenInLock = frames;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(frames.load(), seenInLock);
  }
  audio.close();
  EXPECT_FALSE(audio.isOpen());
}

TEST_F(SdlBackendTest, ClockAndJoystickWithoutDevices) {
  Platform p = backend.platform();
  const uint32_t before = p.clock.nowMs();
  p.clock.sleepMs(20);
  EXPECT_GE(p.clock.nowMs() - before, 20u);
  EXPECT_LT(p.clock.seedValue(), 24u * 3600 * 1000);
  EXPECT_FALSE(p.input.joystick(-1).present);
  EXPECT_TRUE(p.input.foreground());  // the dummy driver has no focus to lose
}

void (*disposition(int signal))(int) {
  struct sigaction now {};
  sigaction(signal, nullptr, &now);
  return now.sa_handler;
}

void startOnDummyDrivers(SdlBackend& backend, const char* audioDriver = "dummy") {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", audioDriver, 1);
  std::string error;
  ASSERT_TRUE(backend.init(SdlOptions{true}, error)) << error;
}

// SIGHUP (a terminal closed; SIGTERM and SIGINT alike) closes the game as its window's close does:
// one quit event, and neither a pause nor the wait for events holds it up. A signal the program was
// started with ignored stays ignored; once the back end is gone, all is as before.
TEST(SdlStopSignalTest, ASignalClosesTheGameAtOnce) {
  struct sigaction ignore {
  }, before{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGINT, &ignore, &before);
  {
    SdlBackend backend;
    startOnDummyDrivers(backend);
    Platform p = backend.platform();
    Event e;
    while (p.events.poll(e)) {
    }
    raise(SIGHUP);
    ASSERT_TRUE(p.events.poll(e));
    EXPECT_EQ(e.kind, Event::Kind::Quit);
    int quits = 0;
    while (p.events.poll(e)) quits += e.kind == Event::Kind::Quit;
    EXPECT_EQ(quits, 0);
    const auto start = std::chrono::steady_clock::now();
    p.clock.sleepMs(3000);  // the banner's pause
    p.events.waitForEvent();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(disposition(SIGINT), SIG_IGN);
    EXPECT_NE(disposition(SIGTERM), SIG_DFL);
  }
  EXPECT_EQ(disposition(SIGHUP), SIG_DFL);
  EXPECT_EQ(disposition(SIGTERM), SIG_DFL);
  sigaction(SIGINT, &before, nullptr);
}

// Without a sound card the sound effects and the music each try to open it; one line says why.
TEST(SdlNoSoundTest, TheReasonIsSaidOnce) {
  SdlBackend backend;
  startOnDummyDrivers(backend, "kv-no-such-driver");
  AudioSystem audio(backend.platform().audio);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(audio.acquire());
  EXPECT_FALSE(audio.acquire());
  const std::string said = ::testing::internal::GetCapturedStderr();
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  size_t lines = 0;
  for (size_t at = said.find("no sound ("); at != std::string::npos; at = said.find("no sound (", at + 1))
    ++lines;
  EXPECT_EQ(lines, 1u) << said;
}

TEST(SdlBackendPureTest, TimeOfDayAndPointerPlaces) {
  EXPECT_EQ(timeOfDayMs(0), 0u);
  EXPECT_EQ(timeOfDayMs(86'400'000LL * 20000 + 3'723'004), 3'723'004u);  // 01:02:03.004
  EXPECT_EQ(timeOfDayMs(-1), 86'399'999u);
  EXPECT_TRUE(placePointer(799, 599).inside);
  EXPECT_FALSE(placePointer(800, 10).inside);
  EXPECT_FALSE(placePointer(10, -1).inside);
  const PointerPlace p = placePointer(-30, 650);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 599);
}

TEST(SdlBackendPureTest, ThePointerArrivingIsNotAMovement) {
  PointerMotionFilter f;
  EXPECT_FALSE(f.moved(400, 300));  // the window appeared under the resting pointer
  EXPECT_FALSE(f.moved(400, 300));  // the same place reported again
  EXPECT_TRUE(f.moved(401, 300));
  f.arrive();  // the pointer left and came back in
  EXPECT_FALSE(f.moved(10, 10));
  EXPECT_TRUE(f.moved(10, 11));
}

}  // namespace
}  // namespace kv
