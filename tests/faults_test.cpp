// Faults the game lives through: odd data files beside it, no sound card, a minimised window,
// surfaces that are lost, displays of every refresh rate. None may crash it, stop it or stall it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/data_files.h"
#include "gfx/matrix_font.h"
#include "platform/audio/audio_system.h"
#include "platform/audio/music_stream.h"
#include "platform/components/component_errors.h"
#include "state/game_state.h"
#include "tests/game_fixture.h"
#include "tests/test_files.h"

namespace kv {
namespace {

using test::GameFixture;
namespace fs = std::filesystem;

// An empty folder of its own for each case (CTest runs tests side by side).
std::string caseDir(const std::string& name) {
  const std::string d = ::testing::TempDir() + "/kv_faults_" + std::to_string(::getpid()) + "/" + name;
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

bool fontIs(const std::vector<uint8_t>& cells) {
  for (size_t k = 0; k < cells.size(); ++k)
    if (matrixFont[k / kGlyphCells][k % kGlyphCells] != cells[k]) return false;
  return true;
}

int captionPixels(const VirtualDisplay& d) {
  int n = 0;
  for (uint16_t p : d.lastFrame()) n += p == 0xF800 || p == 0xFFE0;
  return n;
}

TEST(DataFileFaultTest, MatrixFontsOfEveryShapeStartTheGameOrStopItWithAMessage) {
  const std::vector<uint8_t> font = readBytes(test::blockFontDir() + "/alfabet");
  ASSERT_EQ(font.size(), 8640u);
  {
    // Empty: every cell is 0, so the captions draw nothing, and the game plays on.
    const std::string dir = caseDir("empty");
    writeBytes(dir + "/alfabet", {});
    GameFixture g(60, 1, {dir});
    EXPECT_TRUE(fontIs(std::vector<uint8_t>(8640, 0)));
    g.moveMouse(300, 300);
    EXPECT_EQ(captionPixels(g.display()), 0);
    g.startLevel(1);
    g.ticks(200);
    EXPECT_TRUE(game.levelRunning);
  }
  {
    // Short: the cells past its end take its last byte.
    const std::string dir = caseDir("short");
    writeBytes(dir + "/alfabet", std::vector<uint8_t>(font.begin(), font.begin() + 1000));
    GameFixture g(60, 1, {dir});
    std::vector<uint8_t> expected(font.begin(), font.begin() + 1000);
    expected.resize(8640, font[999]);
    EXPECT_TRUE(fontIs(expected));
    g.moveMouse(300, 300);
    EXPECT_GT(captionPixels(g.display()), 0);
  }
  {
    // Longer than the font: the rest is not read.
    const std::string dir = caseDir("long");
    std::vector<uint8_t> longer = font;
    longer.resize(8640 + 5000, 17);
    writeBytes(dir + "/alfabet", longer);
    GameFixture g(60, 1, {dir});
    EXPECT_TRUE(fontIs(font));
  }
  {
    // A folder of that name is not the file: the next place is searched, and with no other place
    // the start stops with the message naming where it looked.
    const std::string dir = caseDir("folder");
    fs::create_directories(dir + "/alfabet");
    GameFixture g(60, 1, {dir, test::blockFontDir()});
    EXPECT_TRUE(fontIs(font));
    EXPECT_THROW(GameFixture(60, 1, {dir}), MissingDataFile);
  }
  {
    // A file that opens but cannot be read (as root every file opens, so permissions cannot make
    // one) stops the start like a missing one, with the system's reason.
    const std::string dir = caseDir("unreadable");
    fs::create_symlink("/proc/self/mem", dir + "/alfabet");
    try {
      GameFixture g(60, 1, {dir});
      ADD_FAILURE() << "started with an unreadable font";
    } catch (const EFOpenError& e) {
      EXPECT_NE(std::string(e.what()).find("Cannot read file \"" + dir + "/alfabet\". Input/output error"),
                std::string::npos)
          << e.what();
    }
    if (::geteuid() != 0) {
      fs::remove(dir + "/alfabet");
      writeBytes(dir + "/alfabet", font);
      fs::permissions(dir + "/alfabet", fs::perms::none);
      EXPECT_THROW(GameFixture(60, 1, {dir}), EFOpenError);
    }
  }
}

// Plays level 1 for seconds of virtual time with the given music file; counts the restarts of the
// music the loop check made.
struct MusicRun {
  bool opened = false;
  uint32_t length = 0;
  uint64_t furthest = 0;
  int restarts = 0;
};

MusicRun playLevelWith(const std::string& name, const std::vector<uint8_t>* file, bool asFolder,
                       double seconds) {
  const std::string dir = caseDir("music_" + name);
  fs::copy_file(test::blockFontDir() + "/alfabet", dir + "/alfabet");
  if (file) writeBytes(dir + "/Velunora002c.mp3", *file);
  if (asFolder) fs::create_directories(dir + "/Velunora002c.mp3");
  GameFixture g(60, 1, {dir});
  MusicRun r;
  r.opened = game.musicStream != 0;
  r.length = game.musicLength;
  g.startLevel(1);
  uint64_t last = 0;
  const uint64_t endMs = g.nowMs() + static_cast<uint64_t>(seconds * 1000);
  while (g.nowMs() < endMs && game.levelRunning) {
    g.ticks(8);
    const uint64_t pos = BASS_ChannelGetPosition(game.musicStream);
    if (pos == kPositionError) continue;
    EXPECT_LE(pos, game.musicLength) << name;
    if (pos < last) ++r.restarts;
    r.furthest = std::max(r.furthest, pos);
    last = pos;
  }
  EXPECT_TRUE(game.levelRunning) << name;
  EXPECT_GE(g.nowMs() + 20, endMs) << name;
  return r;
}

TEST(DataFileFaultTest, BrokenMusicPlaysSilentlyOrWhatDecodesAndTheLevelLoopsOn) {
  const std::vector<uint8_t> song = readBytes(std::string(KV_TEST_DATA_DIR) + "/Velunora002c.mp3");
  ASSERT_GT(song.size(), 100000u);
  const std::vector<uint8_t> empty;
  std::vector<uint8_t> noise(40000);
  std::mt19937 random(11);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
  const std::vector<uint8_t> wave = readBytes(std::string(KV_SOUND_BUILD_DIR) + "/Trafiony.wav");
  ASSERT_FALSE(wave.empty());

  // Nothing to decode: the game runs silently.
  EXPECT_FALSE(playLevelWith("missing", nullptr, false, 2).opened);
  EXPECT_FALSE(playLevelWith("folder", nullptr, true, 2).opened);
  EXPECT_FALSE(playLevelWith("empty", &empty, false, 2).opened);
  // Noise and a recording under the music's name: silent, or whatever the decoder makes of them,
  // looping like music.
  for (const auto& [name, bytes] : {std::pair{"noise", &std::as_const(noise)}, std::pair{"wave", &wave}}) {
    const MusicRun r = playLevelWith(name, bytes, false, 3);
    if (r.opened && r.length < 2 * 44100 * 4) {
      EXPECT_GE(r.restarts, 1) << name;
    }
  }
  // Cut anywhere, also inside a frame header: what is left plays to its end and starts over.
  for (size_t cut : {1u, 3u, 100u, 417u, 1000u, 4001u, 9999u, 20000u, 33333u}) {
    const std::vector<uint8_t> part(song.begin(), song.begin() + cut);
    const MusicRun r = playLevelWith("cut" + std::to_string(cut), &part, false, 4.5);
    const double seconds = r.length / (4.0 * 44100);
    if (cut <= 1000) {  // at most the info frame and one frame: nothing left after the encoder's delay
      EXPECT_FALSE(r.opened && seconds > 0.1) << cut;
      continue;
    }
    ASSERT_TRUE(r.opened) << cut;
    EXPECT_GT(r.furthest, 0u) << cut;
    // Each pass of the music ends within one redraw of its end, so 4.5 s hold this many restarts.
    EXPECT_GE(r.restarts, static_cast<int>(4.5 / (seconds + 0.05)) - 1)
        << cut << " bytes, " << seconds << " s";
  }
}

TEST(SoundCardFaultTest, WithoutASoundCardTheGamePlaysSilentlyAtItsPace) {
  GameFixture g(60, 1, {KV_TEST_DATA_DIR}, [](HeadlessBackend& b) { b.audio.setOpenFails(true); });
  EXPECT_FALSE(g.audio->isOpen());
  ASSERT_NE(game.musicStream, 0u);  // the music library works on, silently
  g.startLevel(1);
  const uint64_t t0 = g.nowMs();
  g.ticks(2 * 801);
  EXPECT_TRUE(game.levelRunning);
  EXPECT_EQ(game.distance, 2);
  EXPECT_NEAR(static_cast<double>(g.nowMs() - t0), 2 * 801 * 1000.0 / ((game.speed + 1) * 60), 20);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), 0u);
  EXPECT_EQ(g.hb().audio.framesMixed(), 0u);
}

TEST(WindowFaultTest, MinimisedTitleAndSelectionScreensWaitTheirRefreshesAndComeBack) {
  GameFixture g;
  g.moveMouse(300, 300);  // the intro, then the title's animation
  ASSERT_TRUE(g.form->DXTimer2.Running());
  g.post(Event::Kind::Minimize);
  g.app->ProcessMessages();
  uint64_t t0 = g.nowMs();
  g.idle(600);  // nothing to animate, but every tick waits for a refresh
  EXPECT_NEAR(static_cast<double>(g.nowMs() - t0), 600 * 1000.0 / 60, 20);
  g.post(Event::Kind::Restore);
  g.app->ProcessMessages();
  int presents = g.presents();
  g.idle(10);
  EXPECT_EQ(g.presents(), presents + 10);

  g.click(kPlayButton);  // Play: the selection screen
  g.post(Event::Kind::Minimize);
  g.app->ProcessMessages();
  t0 = g.nowMs();
  g.idle(60);
  EXPECT_NEAR(static_cast<double>(g.nowMs() - t0), 1000, 20);
  g.post(Event::Kind::Restore);
  g.app->ProcessMessages();
  g.click(levelButton(1));  // level 1 starts and runs
  g.ticks(80);
  EXPECT_TRUE(game.levelRunning);
  EXPECT_EQ(g.display().lastFrame()[560 * 800 + 700], 0x5AA0);  // the ground
}

TEST(DisplayFaultTest, SurfacesLostDuringALevelComeBackAndTheLevelGoesOn) {
  GameFixture g;
  g.startLevel(1);
  g.ticks(100);
  g.display().loseSurfaces();
  int presents = g.presents();
  g.ticks(16);
  EXPECT_EQ(g.presents(), presents + 2);
  EXPECT_EQ(g.display().lastFrame()[560 * 800 + 700], 0x5AA0);
  int hud = 0;  // the heads-up display's glyphs come from the rebuilt image list
  for (int i = 0; i < 800 * 70; ++i) hud += g.display().lastFrame()[i] != 0;
  EXPECT_GT(hud, 200);

  // Lost for a while with no way back: nothing is shown, but the level keeps its pace.
  g.display().setRestoreFails(true);
  g.display().loseSurfaces();
  presents = g.presents();
  const uint64_t t0 = g.nowMs();
  g.ticks(80);
  EXPECT_EQ(g.presents(), presents);
  EXPECT_NEAR(static_cast<double>(g.nowMs() - t0), std::ceil(80.0 / (game.speed + 1)) * 1000 / 60, 17);
  g.display().setRestoreFails(false);
  g.ticks(16);
  EXPECT_EQ(g.presents(), presents + 2);
  EXPECT_TRUE(game.levelRunning);
}

TEST(DisplayFaultTest, EveryRefreshRateGivesALevelTheSamePace) {
  // The ground moves speed + 1 pixels per shown frame, one frame per (effective) refresh; whatever
  // the display reports, driving at the normal speed comes to about the same speed on the screen,
  // some 500 pixels a second.
  for (int rate : {0, 1, 59, 60, 119, 120, 144, 240, 360}) {
    GameFixture g(rate);
    g.startLevel(1);
    const uint64_t t0 = g.nowMs();
    const int64_t ticks0 = game.ticks;
    g.ticks(2 * 801);
    const double seconds = static_cast<double>(g.nowMs() - t0) / 1000;
    const double pixelsPerSecond = static_cast<double>(game.ticks - ticks0) / seconds;
    EXPECT_NEAR(pixelsPerSecond, (game.speed + 1) * game.refreshRate, 0.02 * pixelsPerSecond) << rate;
    const int normalPace = (game.normalSpeed + 1) * game.refreshRate;
    EXPECT_GT(normalPace, 460) << rate;
    EXPECT_LT(normalPace, 610) << rate;
    EXPECT_TRUE(game.levelRunning) << rate;
  }
}

}  // namespace
}  // namespace kv
