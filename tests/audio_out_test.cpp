// The harness's recording of the virtual sound card (--audio-out), through the real program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/audio/mp3_decoder.h"
#include "platform/support/byte_order.h"
#include "tests/buttons.h"
#include "tests/test_files.h"

namespace kv {
namespace {

std::string dir() {
  const std::string d = ::testing::TempDir() + "/kv_audio_out_" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(d);
  return d;
}

int run(const std::string& args, std::string* err = nullptr) {
  const std::string errFile = dir() + "/stderr.txt";
  const int status = std::system((std::string(KV_PROGRAM) + " " + args + " 2>" + errFile).c_str());
  if (err) *err = slurp(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The number after "t": in the first trace line of this event.
int64_t eventTime(const std::string& trace, const std::string& event) {
  const std::string key = "\"event\":\"" + event + "\",\"t\":";
  const auto at = trace.find(key);
  return at == std::string::npos ? -1 : std::stoll(trace.substr(at + key.size()));
}

TEST(AudioOutTest, TheRecordingHoldsWhatTheCardPlayedWhereItPlayedIt) {
  const std::string script = dir() + "/level.script";
  std::ofstream(script) << "100 move 300 300\n2500 " + clickOn(kPlayButton) + "\n2700 " +
                               clickOn(levelButton(1)) +
                               "\n"
                               "7500 " +
                               clickOn(kStopButton) +
                               "\n10000 quit\n";  // Stop before a pit can reach the vehicle
  const std::string wavA = dir() + "/a.wav", wavB = dir() + "/b.wav", trace = dir() + "/t.jsonl";
  const std::string args = "--headless --seed 4 --script " + script;
  ASSERT_EQ(run(args + " --trace " + trace + " --audio-out " + wavA), 0);
  ASSERT_EQ(run(args + " --audio-out " + wavB), 0);
  const std::string bytes = slurp(wavA);
  EXPECT_EQ(bytes, slurp(wavB));
  const std::string t = slurp(trace);
  const int64_t levelStart = eventTime(t, "level_start"), levelEnd = eventTime(t, "level_end");
  const int64_t exitMs = eventTime(t, "exit");
  ASSERT_GT(levelStart, 3000);
  ASSERT_GT(levelEnd, levelStart);
  EXPECT_NE(t.find("\"plays\":[0,0,1,0,0,0]", t.find("\"exit\"")), std::string::npos);

  // 16-bit stereo PCM at 44100 Hz, as long as the run in virtual time.
  ASSERT_GE(bytes.size(), 44u);
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(getLe32(b + 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(getLe32(b + 16), 16u);
  EXPECT_EQ(getLe16(b + 20), 1);
  EXPECT_EQ(getLe16(b + 22), 2);
  EXPECT_EQ(getLe32(b + 24), 44100u);
  EXPECT_EQ(getLe32(b + 28), 44100u * 4);
  EXPECT_EQ(getLe16(b + 32), 4);
  EXPECT_EQ(getLe16(b + 34), 16);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(getLe32(b + 40), bytes.size() - 44);
  const int64_t frames = static_cast<int64_t>(bytes.size() - 44) / 4;
  EXPECT_GE(frames * 1000, exitMs * 44100);
  EXPECT_LT(frames * 1000, (exitMs + 1) * 44100);
  std::vector<int16_t> wav(static_cast<size_t>(2 * frames));
  for (size_t i = 0; i < wav.size(); ++i) wav[i] = static_cast<int16_t>(getLe16(b + 44 + 2 * i));

  // The music starts with the level, three seconds of banner before the engine; find it in the
  // recording by matching the decoded file exactly (it plays at its own 44100 Hz, unresampled).
  auto music = Mp3Decoder::open(std::string(KV_TEST_DATA_DIR) + "/Velunora002c.mp3");
  ASSERT_TRUE(music);
  ASSERT_EQ(music->sampleRate(), 44100);
  std::vector<int16_t> tune(static_cast<size_t>(2 * frames));
  music->read(tune.data(), static_cast<int>(frames));
  const int64_t expectedStart = (levelStart - 3000) * 441 / 10;
  int64_t start = -1;
  for (int64_t s = expectedStart - 2000; s <= expectedStart && start < 0; ++s) {
    bool same = true;
    for (int64_t k = 64; k < 2000 && same; ++k)
      same = wav[2 * (s + k)] == tune[2 * k] && wav[2 * (s + k) + 1] == tune[2 * k + 1];
    if (same) start = s;
  }
  ASSERT_GE(start, 0) << "the music is not where the level started it";
  for (int64_t i = 0; i < 2 * start; ++i) ASSERT_EQ(wav[i], 0) << "sound before the music, frame " << i / 2;

  // What is left over is the engine: from the level start to its end, and nothing else.
  auto residual = [&](int64_t f) {
    return std::abs(wav[2 * f] - tune[2 * (f - start)]) +
           std::abs(wav[2 * f + 1] - tune[2 * (f - start) + 1]);
  };
  int64_t firstEngine = -1, engineFrames = 0;
  for (int64_t f = start + 64; f < frames; ++f) {
    if (residual(f) == 0) continue;
    if (firstEngine < 0) firstEngine = f;
    ++engineFrames;
    ASSERT_LT(f, (levelEnd + 1) * 441 / 10 + 64) << "sound after the level end, frame " << f;
  }
  EXPECT_GE(firstEngine, levelStart * 441 / 10);
  EXPECT_LE(firstEngine, (levelStart + 1) * 441 / 10 + 4);
  EXPECT_GT(engineFrames, (levelEnd - levelStart - 100) * 441 / 10);
}

TEST(AudioOutTest, ARecordingThatCannotBeWrittenIsAnError) {
  std::string err;
  EXPECT_EQ(run("--audio-out " + dir() + "/x.wav", &err), 2);
  EXPECT_NE(err.find("--audio-out applies only with --headless"), std::string::npos) << err;
  EXPECT_EQ(run("--headless --audio-out /nonexistent/dir/x.wav", &err), 2);
  EXPECT_NE(err.find("/nonexistent/dir/x.wav"), std::string::npos) << err;
  const std::string script = dir() + "/short.script";
  std::ofstream(script) << "3000 quit\n";
  EXPECT_EQ(run("--headless --script " + script + " --audio-out /dev/full", &err), 2);
  EXPECT_NE(err.find("cannot write the audio file /dev/full"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
}  // namespace kv
