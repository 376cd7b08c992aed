// Recording a run (--record) and replaying it (--replay): the replay gives the recorded run's trace
// and sound exactly, answers that only the recording holds (a joystick, a lost sound card) come back,
// and damaged, cut or foreign recordings are refused with one line and status 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/program.h"
#include "gfx/backdrop.h"
#include "platform/headless/headless_backend.h"
#include "platform/record/block_codec.h"
#include "platform/record/record_codec.h"
#include "platform/record/recording_reader.h"
#include "platform/record/recording_writer.h"
#include "platform/support/rgb_image.h"
#include "state/game_state.h"
#include "tests/program_runner.h"

namespace kv {
namespace {

using test::ProgramTest;

// Play, level 3 with fire held and a jump, Stop, level 4 for a while, then the window closes.
std::string levelScript() {
  return "100 move 300 300\n2500 " + clickOn(kPlayButton) + "\n2700 " + clickOn(levelButton(3)) +
         "\n6000 down 32\n6500 down 38\n6600 up 38\n7000 down 37\n8000 up 37\n9000 up 32\n9100 state\n9200 " +
         clickOn(kStopButton) + "\n9500 " + clickOn(levelButton(4)) + "\n14000 down 32\n15000 " +
         clickOn(kStopButton) + "\n";
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path) {
  const std::string s = ProgramTest::slurp(path);
  return {s.begin(), s.end()};
}

TEST_F(ProgramTest, AReplayWritesTheRecordedRunsTraceAndSoundByteForByte) {
  const std::string script = writeScript("play.script", levelScript());
  const std::string d = dir();
  const std::string args = "--headless --seed 9 --script " + script;
  ASSERT_EQ(run(args + " --trace " + d + "/plain.jsonl"), 0);
  ASSERT_EQ(
      run(args + " --record " + d + "/game.kvrec --trace " + d + "/a.jsonl --audio-out " + d + "/a.wav"), 0);
  // Recording changes nothing in the run.
  const std::string recorded = slurp(d + "/a.jsonl");
  EXPECT_EQ(recorded, slurp(d + "/plain.jsonl"));
  EXPECT_EQ(lines(recorded), 7);  // start, level_start, state, level_end, level_start, level_end, exit

  std::string err;
  ASSERT_EQ(run("--replay " + d + "/game.kvrec --trace " + d + "/b.jsonl --audio-out " + d + "/b.wav", &err),
            0)
      << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(slurp(d + "/b.jsonl"), recorded);
  const std::string wav = slurp(d + "/a.wav");
  EXPECT_GT(wav.size(), 44u + 15 * 44100 * 4);
  EXPECT_TRUE(slurp(d + "/b.wav") == wav) << "the replay's sound differs";

  // The replay's own requests: screenshots and state lines on the recorded clock, and shots every 5 s.
  const std::string extra = writeScript("extra.script", "8000 shot " + d + "/level.bmp\n8000 state\n");
  ASSERT_EQ(
      run("--replay game.kvrec --shots-every 5000 --script " + extra + " --trace " + d + "/c.jsonl", &err, d),
      0)
      << err;
  const std::string withState = slurp(d + "/c.jsonl");
  EXPECT_EQ(lines(withState), 8);
  EXPECT_NE(withState.find("\"event\":\"state\",\"t\":80"), std::string::npos) << withState;
  for (const char* name : {"shot-00000000.bmp", "shot-00005000.bmp", "shot-00015000.bmp", "level.bmp"}) {
    const RgbImage shot = readBmp24(d + "/" + name);
    EXPECT_EQ(shot.width, 800) << name;
  }
  // The level's shot shows its Stop button; the first one the bare start screen's Play button.
  const RgbImage level = readBmp24(d + "/level.bmp");
  ASSERT_EQ(level.height, 600);
  EXPECT_EQ(std::vector<uint8_t>(level.at(20, 12), level.at(20, 12) + 3),
            (std::vector<uint8_t>{212, 208, 200}));
  const RgbImage first = readBmp24(d + "/shot-00000000.bmp");
  ASSERT_EQ(first.height, 600);
  EXPECT_EQ(std::vector<uint8_t>(first.at(340, 415), first.at(340, 415) + 3),
            (std::vector<uint8_t>{212, 208, 200}));
  EXPECT_FALSE(std::filesystem::exists(d + "/shot-00020000.bmp"));

  // A replay's script may not play the game.
  const std::string moves = writeScript("moves.script", "100 move 5 5\n");
  EXPECT_EQ(run("--replay " + d + "/game.kvrec --script " + moves, &err), 2);
  EXPECT_NE(err.find("only shot, state and terrain"), std::string::npos) << err;
}

TEST_F(ProgramTest, AnswersOnlyTheRecordingHoldsComeBackInTheReplay) {
  // A stick that fires and drives fast, and a sound card that goes away as the run starts: the
  // replay has neither but its recording.
  resetGameState();
  // The backdrop keeps its previous heights from run to run; the replay below starts afresh.
  backdropColumns.fill(BackdropColumn{});
  CommandLine cl;
  cl.headless = true;
  cl.seed = 3;
  cl.scriptPath = writeScript("play.script", levelScript());
  cl.tracePath = dir() + "/a.jsonl";
  cl.recordPath = dir() + "/game.kvrec";
  ProgramHooks hooks;
  hooks.beforeRun = [](HeadlessBackend& b, TApplication&) {
    b.input.plugStick();
    b.input.stick.x = 0;
    b.input.stick.buttons = 1;
    b.audio.simulateLoss();
  };
  ASSERT_EQ(runProgram(cl, hooks), kExitOk);
  resetGameState();
  const std::string recorded = slurp(cl.tracePath);
  // At the state line no key is held: the stick pushed left keeps the fast pace, and fire held on it
  // shot more than the keys alone (12 without it).
  const std::string state = recorded.substr(recorded.find("\"event\":\"state\""));
  EXPECT_NE(state.find("\"speed\":10,"), std::string::npos) << state.substr(0, 300);
  EXPECT_NE(state.find("\"ammoUsed\":22,"), std::string::npos) << state.substr(0, 300);

  std::string err;
  EXPECT_EQ(run("--replay " + cl.recordPath + " --trace " + dir() + "/b.jsonl", &err), 0) << err;
  EXPECT_EQ(slurp(dir() + "/b.jsonl"), recorded);
}

TEST_F(ProgramTest, DamagedCutAndForeignRecordingsAreRefusedWithOneLine) {
  const std::string d = dir();
  ASSERT_EQ(run("--headless --seed 2 --script " + writeScript("play.script", levelScript()) + " --record " +
                d + "/game.kvrec"),
            0);
  const std::vector<uint8_t> good = readBytes(d + "/game.kvrec");
  const RecordingFile parsed = parseRecording(good);
  ASSERT_GE(parsed.blocks.size(), 1u);
  const size_t lastBlock = parsed.blocks.back().offset - kBlockFrame;

  auto refused = [&](const std::vector<uint8_t>& bytes, const std::string& expected,
                     const std::string& what) {
    writeBytes(d + "/bad.kvrec", bytes);
    std::string err;
    EXPECT_EQ(run("--replay " + d + "/bad.kvrec --trace " + d + "/t.jsonl", &err), 2) << what;
    EXPECT_EQ(lines(err), 1) << what << ": " << err;
    EXPECT_NE(err.find(expected), std::string::npos) << what << ": " << err;
  };
  // Cut: empty, in the magic, in the header, in the first block, before the last block (replayed up
  // to there), one byte short.
  for (const size_t size :
       {size_t{0}, size_t{5}, size_t{40}, parsed.blocks[0].offset + 3, lastBlock, good.size() - 1}) {
    const std::string expected = size == 0           ? "is empty"
                                 : size == 5         ? "not a recording of this game"
                                 : size == 40        ? "cut short inside its header"
                                 : size == lastBlock ? "without its end mark"
                                                     : "is cut short";
    refused({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)}, expected,
            "cut at " + std::to_string(size));
  }
  // A flipped bit anywhere is found by a checksum before anything is replayed.
  std::mt19937 random(5);
  for (int i = 0; i < 6; ++i) {
    std::vector<uint8_t> flipped = good;
    const RecordingBlock& b = parsed.blocks[random() % parsed.blocks.size()];
    const size_t at =
        i == 0 ? 20 : b.offset + random() % b.packedSize;  // the header's text, or a block's data
    flipped[at] ^= static_cast<uint8_t>(1u << (random() % 8));
    refused(flipped, "checksum does not match", "bit flipped at " + std::to_string(at));
  }
  std::vector<uint8_t> newer = good;
  newer[8] = 2;
  refused(newer, "format version 2", "a later format");
  std::vector<uint8_t> bigger = good;
  bigger.resize(kMaxRecordingBytes + 1);
  refused(bigger, "larger than a recording may be", "too large");

  // A recording of another program version whose game asks something else: the first difference.
  RecordingHeader header;
  header.program = "korvalundrix 0.0.1";
  header.backend = "window";
  RecordingWriter writer(header);
  Record foreground;
  foreground.call = Call::Foreground;
  foreground.v[0] = 1;
  writer.add(foreground);
  std::vector<uint8_t> foreign;
  writer.attach([&foreign](const uint8_t* data, size_t size) {
    foreign.insert(foreign.end(), data, data + size);
    return true;
  });
  Record end;
  end.call = Call::End;
  ASSERT_TRUE(writer.finish(end));
  refused(foreign, "differs from the recording at call 1 (0 ms on the recorded clock): the game asks for ",
          "foreign");
  refused(foreign,
          "where the recording holds the foreground state (recorded by korvalundrix 0.0.1, replayed by ",
          "foreign");
}

TEST(RecordingFormatTest, BlocksComeBackExactlyAndRepetitionCostsLittle) {
  // Blocks of noise, of every byte value and of a repeated pattern, through one codec in order.
  std::mt19937 random(11);
  std::vector<std::vector<uint8_t>> blocks(4);
  for (int i = 0; i < 5000; ++i) blocks[0].push_back(static_cast<uint8_t>(random()));
  for (int i = 0; i < 256 * 4; ++i) blocks[1].push_back(static_cast<uint8_t>(i * 7));
  for (int i = 0; i < 60000; ++i)
    blocks[2].push_back(static_cast<uint8_t>("\x10\x00\x07\x12\x11\x08\x01"[i % 7]));
  blocks[3] = blocks[0];
  BlockCodec writer, reader;
  std::vector<size_t> sizes;
  for (const auto& raw : blocks) {
    const std::vector<uint8_t> packed = writer.compress(raw);
    sizes.push_back(packed.size());
    EXPECT_EQ(reader.decompress(packed.data(), packed.size(), raw.size()), raw);
  }
  EXPECT_LT(sizes[0], 5000u * 13 / 10);  // noise does not grow much
  EXPECT_LT(sizes[2], 200u);             // 60 kB of a steady pattern in a few hundred bytes

  // Values outside their field's range are refused by name.
  Record poll;
  poll.call = Call::Poll;
  poll.v = {1, 16, 0, 0, 0};
  std::vector<uint8_t> bytes;
  RecordEncoder().encode(poll, bytes);
  const uint8_t* at = bytes.data();
  Record back;
  std::string error;
  EXPECT_FALSE(RecordDecoder().decode(at, bytes.data() + bytes.size(), back, error));
  EXPECT_EQ(error, "an event poll: kind 16 is out of range");
}

}  // namespace
}  // namespace kv
