// Switching between full screen and a window, and the window's own keys: the key filter, the real
// SDL window under the dummy driver, and the game going on through a switch.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game_fixture.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/window_keys.h"
#include "sdl_dummy_backend.h"

namespace kv {
namespace {

using Action = WindowKeys::Action;

TEST(WindowKeysTest, WindowKeysNeverReachTheGame) {
  WindowKeys k;
  EXPECT_EQ(k.press(122, false), Action::ToggleFullScreen);  // F11
  EXPECT_EQ(k.press(122, false), Action::Swallow);           // its repeat
  EXPECT_TRUE(k.release(122));
  EXPECT_EQ(k.press(13, true), Action::ToggleFullScreen);  // Alt+Enter
  EXPECT_EQ(k.press(13, false), Action::Swallow);          // Alt let go, Enter still repeating
  EXPECT_TRUE(k.release(13));
  EXPECT_EQ(k.press(13, false), Action::None);  // Enter alone is the game's (its second fire key)
  EXPECT_FALSE(k.release(13));
  EXPECT_EQ(k.press(115, true), Action::Close);  // Alt+F4
  EXPECT_TRUE(k.release(115));
  EXPECT_EQ(k.press(115, false), Action::None);
  EXPECT_EQ(k.press(72, true), Action::None);  // Alt+H still steers
  EXPECT_FALSE(k.release(72));
  EXPECT_EQ(k.press(0, true), Action::None);
  EXPECT_EQ(k.press(300, true), Action::None);
}

class SdlWindowTest : public SdlDummyBackendTest {
 protected:
  void SetUp() override {
    SdlDummyBackendTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(video().openWindow()) << video().error();
    window = SDL_GetWindowFromID(video().windowId());
    ASSERT_NE(window, nullptr);
  }
  EventSource& events() { return backend.platform().events; }

  void key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = video().windowId();
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
  }
  // The next event the game receives, skipping the window's own paint requests. SDL ends a round
  // of polling where the previous round's pump ended, so two rounds cover what was pushed.
  Event next() {
    Event e;
    for (int round = 0; round < 2; ++round) {
      while (events().poll(e)) {
        if (e.kind != Event::Kind::Expose) return e;
      }
    }
    e.kind = Event::Kind::State;  // nothing came
    return e;
  }
  std::pair<int, int> size() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    return {w, h};
  }

  SDL_Window* window = nullptr;
};

TEST_F(SdlWindowTest, KeysSwitchBetweenFullScreenAndAWindow) {
  next();  // whatever opening the window brought
  int minW = 0, minH = 0;
  SDL_GetWindowMinimumSize(window, &minW, &minH);
  EXPECT_EQ(minW, SdlWindow::kMinWidth);
  EXPECT_EQ(minH, SdlWindow::kMinHeight);
  SDL_SetWindowSize(window, 320, 240);
  EXPECT_EQ(size(), std::make_pair(SdlWindow::kMinWidth, SdlWindow::kMinHeight));

  // F11: the display lets go, the window switches, the display comes back; the key stays ours.
  key(SDL_KEYDOWN, SDL_SCANCODE_F11, SDLK_F11, KMOD_NONE);
  key(SDL_KEYUP, SDL_SCANCODE_F11, SDLK_F11, KMOD_NONE);
  EXPECT_EQ(next().kind, Event::Kind::SizeStart);
  EXPECT_FALSE(video().fullScreen());
  EXPECT_EQ(next().kind, Event::Kind::SizeEnd);
  EXPECT_TRUE(video().fullScreen());
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_Rect bounds{};
  SDL_GetDisplayBounds(0, &bounds);
  EXPECT_EQ(size(), std::make_pair(bounds.w, bounds.h));
  EXPECT_EQ(next().kind, Event::Kind::State);  // the release went nowhere

  // Alt+Enter back to the window, as large as it was.
  key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
  key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
  EXPECT_EQ(next().kind, Event::Kind::SizeStart);
  EXPECT_EQ(next().kind, Event::Kind::SizeEnd);
  EXPECT_FALSE(video().fullScreen());
  EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(size(), std::make_pair(800, 600));
  EXPECT_EQ(next().kind, Event::Kind::State);

  // Enter alone is the game's key; Alt+F4 closes the window.
  key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
  const Event enter = next();
  EXPECT_EQ(enter.kind, Event::Kind::KeyDown);
  EXPECT_EQ(enter.vk, 13);
  key(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_RALT);
  EXPECT_EQ(next().kind, Event::Kind::Quit);
  EXPECT_FALSE(video().windowGone());
}

TEST(WindowSwitchTest, TheLevelGoesOnThroughASwitch) {
  test::GameFixture g;
  g.startLevel(1);
  g.ticks(30);
  g.post(Event::Kind::SizeStart);
  g.app->ProcessMessages();
  EXPECT_FALSE(g.display().deviceExists());
  EXPECT_FALSE(g.form->DXDraw1.Initialized());
  g.post(Event::Kind::SizeEnd);
  g.app->ProcessMessages();
  EXPECT_TRUE(g.display().deviceExists());
  EXPECT_TRUE(g.form->DXDraw1.Initialized());
  const int presents = g.presents();
  const int64_t ticks = game.ticks;
  g.ticks(14);
  EXPECT_TRUE(game.levelRunning);
  EXPECT_EQ(game.ticks, ticks + 14);
  EXPECT_EQ(g.presents(), presents + 2);
  EXPECT_EQ(g.display().lastFrame()[560 * 800 + 700], 0x5AA0);  // the ground drawn again
}

}  // namespace
}  // namespace kv
