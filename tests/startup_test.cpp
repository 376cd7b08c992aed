#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/data_files.h"
#include "platform/audio/music_stream.h"
#include "state/game_state.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::GameFixture;

TEST(StartupTest, TheWindowStartsWithTheRunStateAndThePlayScreen) {
  GameFixture g(85);
  EXPECT_EQ(game.level, 1);
  EXPECT_EQ(game.captionScale, 3);
  EXPECT_TRUE(game.introPending);
  EXPECT_FALSE(game.surfaceLocked);
  EXPECT_EQ(game.totalPoints, 0);
  EXPECT_EQ(game.refreshRate, 85);
  EXPECT_EQ(game.fastSpeed, 8);
  EXPECT_EQ(game.normalSpeed, 5);
  EXPECT_EQ(game.slowSpeed, 3);
  EXPECT_EQ(game.musicFileName, "Velunora002c.mp3");
  EXPECT_FALSE(g.form->Button2.Visible());
  EXPECT_TRUE(g.form->Button1.Visible());
  EXPECT_TRUE(g.form->Button3.Visible());
  EXPECT_TRUE(g.form->DXDraw1.Initialized());
  EXPECT_FALSE(g.form->DXTimer1.Running());
  EXPECT_FALSE(g.form->DXTimer2.Running());
  // The music is opened but not played until the first level.
  ASSERT_NE(game.musicStream, 0u);
  EXPECT_GT(game.musicLength, 60u * 44100 * 4);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), 0u);
  g.moveMouse(300, 300);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), 0u);
}

TEST(StartupTest, WithoutTheMatrixFontTheGameSaysWhereItLooked) {
  const std::string empty = ::testing::TempDir() + "/no_font_here";
  std::filesystem::create_directories(empty);
  try {
    GameFixture g(60, 1, {empty, "/nonexistent/data"});
    FAIL() << "the game started without its font";
  } catch (const MissingDataFile& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("\"alfabet\""), std::string::npos) << what;
    EXPECT_NE(what.find(empty), std::string::npos) << what;
    EXPECT_NE(what.find("/nonexistent/data"), std::string::npos) << what;
  }
}

TEST(StartupTest, DataFilesAreFoundInTheWorkingFolderFirst) {
  const std::string dir = ::testing::TempDir() + "/data_lookup";
  std::filesystem::create_directories(dir + "/a");
  std::filesystem::create_directories(dir + "/b/alfabet");  // a folder is not the file
  { std::ofstream(dir + "/a/alfabet") << "x"; }
  EXPECT_EQ(findDataFile("alfabet", {dir + "/b", dir + "/a"}), dir + "/a/alfabet");
  EXPECT_FALSE(findDataFile("alfabet", {dir + "/b"}).has_value());
  const auto dirs = dataSearchDirs();
  ASSERT_FALSE(dirs.empty());
  EXPECT_EQ(dirs.front(), ".");
}

TEST(StartupTest, ExitReleasesTheLibraryAPlainCloseOnlyFreesTheStream) {
  {
    GameFixture g;
    const uint32_t stream = game.musicStream;
    g.post(Event::Kind::Quit);  // the system's close key
    g.app->ProcessMessages();
    EXPECT_TRUE(g.app->Terminated());
    EXPECT_EQ(BASS_ChannelGetPosition(stream), kPositionError);
    // The library is still up: it can stop its output, and refuses to start a second time.
    EXPECT_EQ(BASS_Stop(), kTrue);
    EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kFalse);
  }
  GameFixture g;
  const uint32_t stream = game.musicStream;
  g.click(kExitButton);  // Exit
  EXPECT_TRUE(g.app->Terminated());
  EXPECT_EQ(BASS_ChannelGetPosition(stream), kPositionError);
  EXPECT_EQ(BASS_ChannelPlay(stream, kFalse), kFalse);
  // The library was released, so nothing answers any more and it may be started anew.
  EXPECT_EQ(BASS_Stop(), kFalse);
  EXPECT_EQ(BASS_StreamCreateFile(kFalse, KV_TEST_DATA_DIR "/Velunora002c.mp3", 0, 0, 0), 0u);
  EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kTrue);
  BASS_Free();
}

}  // namespace
}  // namespace kv
