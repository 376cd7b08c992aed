#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "gfx/dxdraw_options.h"
#include "state/game_state.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::blockFontDir;
using test::GameFixture;

class MenusTest : public ::testing::Test {
 protected:
  MenusTest() : g(60, 1, {blockFontDir()}) {}

  // Yellow pixels of the last presented frame inside a rectangle.
  int yellowIn(int left, int top, int right, int bottom) {
    const auto& f = g.display().lastFrame();
    int n = 0;
    for (int y = top; y <= bottom; ++y)
      for (int x = left; x <= right; ++x) n += f[static_cast<size_t>(y) * 800 + x] == 0xFFE0;
    return n;
  }
  int yellowTotal() { return yellowIn(0, 0, 799, 565); }
  std::vector<std::string> visibleButtons() {
    std::vector<std::string> v;
    for (const ButtonView& b : g.display().buttons()) v.push_back(b.caption);
    return v;
  }

  GameFixture g;
};

TEST_F(MenusTest, StartupShowsPlayAndExitAndRunsNothing) {
  EXPECT_EQ(visibleButtons(), (std::vector<std::string>{"Play", "Exit"}));
  EXPECT_FALSE(g.app->hasIdleHandler());
  EXPECT_TRUE(game.introPending);
  EXPECT_EQ(game.captionScale, 3);
  EXPECT_EQ(g.form->DXDraw1.NowOptions(), doFullScreen | doAllowReboot);
}

TEST_F(MenusTest, TheFirstMouseMovementOverTheDisplayRunsTheIntroOnce) {
  g.moveMouse(400, 430);  // over Play: the button takes it
  EXPECT_TRUE(game.introPending);
  const uint64_t t0 = g.nowMs();
  g.moveMouse(200, 200);
  EXPECT_FALSE(game.introPending);
  EXPECT_GE(g.nowMs() - t0, 2000u);  // two one-second pauses
  EXPECT_EQ(game.captionScale, 4);
  EXPECT_TRUE(g.form->DXTimer2.Running());
  // The three captions where they belong.
  EXPECT_GT(yellowIn(162, 62, 482, 102), 0);   // ZOBRANTIKA at scale 2
  EXPECT_GT(yellowIn(271, 161, 511, 181), 0);  // HUMBLY PRESENTS at scale 1
  EXPECT_GT(yellowIn(14, 314, 782, 394), 0);   // KORVALUNDRIX at scale 4
  EXPECT_EQ(yellowIn(0, 0, 799, 60) + yellowIn(0, 103, 799, 160) + yellowIn(0, 182, 799, 313) +
                yellowIn(0, 395, 799, 565),
            0);
  const uint64_t t1 = g.nowMs();
  g.moveMouse(300, 300);
  EXPECT_EQ(g.nowMs(), t1);  // no second intro
  EXPECT_EQ(visibleButtons(), (std::vector<std::string>{"Play", "Exit"}));
}

TEST_F(MenusTest, PlayOpensTheLevelSelection) {
  g.moveMouse(200, 200);
  g.click(kPlayButton);
  EXPECT_EQ(visibleButtons(), (std::vector<std::string>{"Exit", "1", "2", "3", "4", "5", "6"}));
  EXPECT_FALSE(g.form->Button1.Enabled());
  EXPECT_TRUE(g.form->Button9.Enabled());
  EXPECT_EQ(g.form->DXDraw1.NowOptions(), doFullScreen | doAllowReboot | doWaitVBlank);
  EXPECT_TRUE(game.surfaceLocked);
  EXPECT_TRUE(g.form->DXTimer2.Running());
  // PICK A LEVEL at scale 4, on a cleared screen.
  EXPECT_GT(yellowIn(14, 314, 782, 394), 0);
  EXPECT_EQ(yellowIn(0, 0, 799, 313), 0);
  // The backdrop animates: every tick presents, one refresh apart.
  const int before = g.presents();
  g.idle(3);
  EXPECT_EQ(g.presents() - before, 3);
}

TEST_F(MenusTest, PlayBeforeTheIntroDrawsTheCaptionAtScaleThree) {
  g.click(kPlayButton);
  EXPECT_GT(yellowIn(13, 313, 589, 373), 0);
  EXPECT_EQ(yellowTotal(), yellowIn(13, 313, 589, 373));
  EXPECT_TRUE(game.introPending);
  // The intro still comes at the first movement, over the selection screen; the buttons stay.
  g.moveMouse(200, 200);
  EXPECT_FALSE(game.introPending);
  EXPECT_GT(yellowIn(162, 62, 482, 102), 0);
  EXPECT_EQ(visibleButtons(), (std::vector<std::string>{"Exit", "1", "2", "3", "4", "5", "6"}));
  EXPECT_TRUE(g.form->DXTimer2.Running());
}

TEST_F(MenusTest, DigitKeysOnlySetTheLevel) {
  g.click(kPlayButton);
  for (int key = '1'; key <= '6'; ++key) {
    g.key(key);
    EXPECT_EQ(game.level, key - '0');
  }
  g.key('7');
  g.key(97);  // numeric pad 1
  g.key('A');
  EXPECT_EQ(game.level, 6);
  EXPECT_FALSE(game.levelRunning);
  g.click(levelButton(2));  // the button overrides the key
  EXPECT_EQ(game.level, 2);
  EXPECT_TRUE(game.levelRunning);
}

TEST_F(MenusTest, AMovementDuringALevelDoesNotRunTheIntro) {
  // Keyboard-only play: Play and a level without ever moving over the display.
  g.click(kPlayButton);
  g.click(levelButton(1));
  ASSERT_TRUE(game.levelRunning);
  g.post(Event::Kind::MouseMove, 300, 300);
  const uint64_t t0 = g.nowMs();
  g.ticks(10);
  EXPECT_TRUE(game.introPending);
  EXPECT_TRUE(g.form->DXTimer1.Running());
  EXPECT_LT(g.nowMs() - t0, 1000u);
  g.click(kStopButton);  // Stop
  g.moveMouse(300, 300);
  EXPECT_FALSE(game.introPending);
}

TEST_F(MenusTest, ExitEndsTheProgram) {
  g.click(kExitButton);
  EXPECT_TRUE(g.app->Terminated());
  EXPECT_TRUE(g.form->Closed());
}

TEST_F(MenusTest, ClosingTheWindowEndsTheProgramToo) {
  g.startLevel(1);
  g.post(Event::Kind::Quit);
  g.ticks(1);
  EXPECT_TRUE(g.app->Terminated());
  EXPECT_FALSE(g.form->DXTimer1.Running());
}

// The scripts and end-to-end tests click the buttons through scripts/buttons.sh: its centres must
// be those of the form's buttons, or every window test clicks beside them.
TEST(ButtonLayoutTest, TheScriptsClickTheCentresOfTheFormsButtons) {
  std::ifstream in(std::string(KV_SOURCE_DIR) + "/scripts/buttons.sh");
  std::map<std::string, int> value;
  int levelFirst = -1, levelStep = -1;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    for (std::string w; words >> w;) {
      const auto eq = w.find('=');
      if (eq != std::string::npos && w[0] != '#') value[w.substr(0, eq)] = std::atoi(w.c_str() + eq + 1);
    }
    if (line.rfind("level_x()", 0) == 0)
      std::sscanf(line.c_str(), "level_x() { echo $((%d + %d", &levelFirst, &levelStep);
  }
  EXPECT_EQ(value["PLAY_X"], kPlayButton.centreX());
  EXPECT_EQ(value["PLAY_Y"], kPlayButton.centreY());
  EXPECT_EQ(value["STOP_X"], kStopButton.centreX());
  EXPECT_EQ(value["STOP_Y"], kStopButton.centreY());
  EXPECT_EQ(value["EXIT_X"], kExitButton.centreX());
  EXPECT_EQ(value["EXIT_Y"], kExitButton.centreY());
  for (int level = 1; level <= 6; ++level) {
    EXPECT_EQ(levelFirst + levelStep * (level - 1), levelButton(level).centreX()) << level;
    EXPECT_EQ(value["LEVEL_Y"], levelButton(level).centreY()) << level;
  }
}

}  // namespace
}  // namespace kv
