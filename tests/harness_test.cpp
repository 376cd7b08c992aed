#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "platform/headless/script.h"
#include "platform/support/rgb_image.h"
#include "tests/program_runner.h"

namespace kv {
namespace {

using namespace std::string_literals;

TEST(ScriptTest, ReadsEveryEventKind) {
  auto events = parseScript(
      "# a comment\n"
      "\n"
      "0 move 10 20   # trailing comment\n"
      "5 click 799 599\n"
      "5 down 37\n"
      "9 up 37\n"
      "10 state\n"
      "10 shot out.bmp\n"
      "12 quit\n",
      "t");
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].event.kind, Event::Kind::MouseMove);
  EXPECT_EQ(events[0].event.x, 10);
  EXPECT_EQ(events[1].event.kind, Event::Kind::MouseDown);
  EXPECT_EQ(events[2].event.kind, Event::Kind::MouseUp);
  EXPECT_EQ(events[2].timeMs, 5u);
  EXPECT_EQ(events[3].event.vk, 37);
  EXPECT_EQ(events[4].event.kind, Event::Kind::KeyUp);
  EXPECT_EQ(events[5].event.kind, Event::Kind::State);
  EXPECT_EQ(events[6].event.path, "out.bmp");
  EXPECT_EQ(events[7].event.kind, Event::Kind::Quit);
}

TEST(ScriptTest, BadLinesNameTheLineAndTheProblem) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"x move 1 2", "line 1: 'x' is not a time"},
      {"-5 state", "line 1: '-5' is not a time"},
      {"0 state\n\n10 jump", "line 3: unknown event 'jump'"},
      {"10 state\n5 state", "line 2: time 5 is earlier"},
      {"0 move 800 10", "line 1: x '800' is not in 0..799"},
      {"0 click 5", "line 1: 'click' takes 2 argument(s)"},
      {"0 down 0", "line 1: virtual-key code '0' is not in 1..255"},
      {"0 down 256", "line 1: virtual-key code '256'"},
      {"0 state now", "line 1: 'state' takes 0 argument(s)"},
      {"0 shot", "line 1: 'shot' takes 1 argument(s)"},
      {"7", "line 1: an event is missing"},
  };
  for (const auto& c : cases) {
    try {
      parseScript(c.text, "s.txt");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ScriptError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("s.txt"), std::string::npos);
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
  }
}

TEST(ScriptTest, TimesStopAtOneDayAndOddWordsAreShownSafely) {
  EXPECT_EQ(parseScript("86400000 quit", "s").at(0).timeMs, kMaxScriptTimeMs);
  auto message = [](const std::string& text) {
    try {
      parseScript(text, "s");
    } catch (const ScriptError& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_NE(message("86400001 quit").find("later than 86400000"), std::string::npos);
  EXPECT_NE(message("4000000000 quit").find("later than"), std::string::npos);
  // A NUL byte does not cut the message, an escape sequence does not reach the terminal.
  const std::string nul = message("0 fl\0y\x1b[2J 1"s);
  EXPECT_NE(nul.find("'fl\\x00y\\x1b[2J'"), std::string::npos) << nul;
  EXPECT_EQ(nul.find('\x1b'), std::string::npos);
  // A huge word is cut to a few dozen characters.
  const std::string huge = message("0 " + std::string(1 << 20, 'w'));
  EXPECT_LT(huge.size(), 200u);
  EXPECT_NE(huge.find("www..."), std::string::npos) << huge;
  EXPECT_LT(message("0 down " + std::string(100000, '0') + "7").size(), 200u);
  // A file name with a NUL in it would silently name another file.
  EXPECT_NE(message("0 shot a\0b.bmp"s).find("NUL"), std::string::npos);
}

TEST(CommandLineTest, OptionsAndTheirErrors) {
  CommandLine c = parseCommandLine({"--headless", "--seed", "42", "--refresh", "144", "--trace", "t.jsonl"});
  EXPECT_TRUE(c.headless);
  EXPECT_EQ(c.seed, 42u);
  EXPECT_EQ(c.refreshHz, 144);
  EXPECT_EQ(c.tracePath, "t.jsonl");
  EXPECT_EQ(parseCommandLine({}).refreshHz, 60);
  EXPECT_FALSE(parseCommandLine({}).seed.has_value());
  // A replay runs headless by itself; its script and sound file need no --headless.
  c = parseCommandLine(
      {"--replay", "r", "--windowed", "--script", "s", "--audio-out", "a", "--shots-every", "250"});
  EXPECT_EQ(c.replayPath, "r");
  EXPECT_EQ(c.shotsEveryMs, 250u);
  EXPECT_EQ(parseCommandLine({"--record", "r"}).recordPath, "r");

  for (auto args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                         {"--seed"},
                                                         {"--seed", "x"},
                                                         {"--seed", "-1"},
                                                         {"--seed", "99999999999"},
                                                         {"--refresh", "60"},
                                                         {"--script", "s"},
                                                         {"--headless", "--refresh", "1e3"},
                                                         {"--headless", "--windowed"},
                                                         {"--replay", "r", "--seed", "1"},
                                                         {"--replay", "r", "--refresh", "60"},
                                                         {"--replay", "r", "--record", "s"},
                                                         {"--replay", "r", "--shots-every", "0"},
                                                         {"--shots-every", "100"},
                                                         {"--audio-out", "a.wav"}}) {
    EXPECT_THROW(parseCommandLine(args), UsageError) << args[0];
  }
  // An empty file name is a mistake, not the option left out.
  for (const char* option : {"--script", "--trace", "--record", "--replay"}) {
    try {
      parseCommandLine({"--headless", option, ""});
      ADD_FAILURE() << option << " '' accepted";
    } catch (const UsageError& e) {
      EXPECT_NE(std::string(e.what()).find(option), std::string::npos) << e.what();
    }
  }
  try {
    parseCommandLine({"--\x1b]0;title\a" + std::string(5000, 'x')});
    ADD_FAILURE() << "an unknown option was accepted";
  } catch (const UsageError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("--\\x1b]0;title\\x07xxx"), std::string::npos) << what;
    EXPECT_LT(what.size(), 120u);
  }
}

using test::ProgramTest;

TEST_F(ProgramTest, TheSameArgumentsGiveTheSameTraceByteForByte) {
  const std::string script = writeScript("play.script",
                                         "100 move 300 300\n"
                                         "2500 " +
                                             clickOn(kPlayButton) +
                                             "\n"
                                             "2600 down 52\n2650 up 52\n"
                                             "2700 " +
                                             clickOn(levelButton(3)) +
                                             "\n"
                                             "9000 state\n"
                                             "9100 " +
                                             clickOn(kStopButton) +
                                             "\n"
                                             "9300 state\n");
  const std::string a = dir() + "/a.jsonl", b = dir() + "/b.jsonl";
  ASSERT_EQ(run("--headless --seed 7 --script " + script + " --trace " + a), 0);
  ASSERT_EQ(run("--headless --seed 7 --script " + script + " --trace " + b), 0);
  const std::string ta = slurp(a);
  EXPECT_EQ(ta, slurp(b));
  // start, level_start, state, level_end, state, exit
  std::vector<std::string> events;
  std::istringstream lines(ta);
  for (std::string line; std::getline(lines, line);) {
    auto at = line.find("\"event\":\"");
    ASSERT_NE(at, std::string::npos);
    events.push_back(line.substr(at + 9, line.find('"', at + 9) - at - 9));
  }
  EXPECT_EQ(events,
            (std::vector<std::string>{"start", "level_start", "state", "level_end", "state", "exit"}));
  EXPECT_NE(ta.find("\"event\":\"level_start\",\"t\":5716"), std::string::npos) << ta;
  EXPECT_NE(ta.find("\"level\":3"), std::string::npos);
}

TEST_F(ProgramTest, ALevelPlayedWithoutJumpingEndsInAWreck) {
  // Nobody jumps: the first pit that reaches the vehicle wrecks it, and the wreckage lies for 301
  // redraws (six wheel moves each) before the selection screen comes back.
  const std::string script = writeScript("blind_level.script", "0 " + clickOn(kPlayButton) +
                                                                   "\n"
                                                                   "100 " +
                                                                   clickOn(levelButton(1)) +
                                                                   "\n"
                                                                   "90000 state\n");
  const std::string t = dir() + "/blind.jsonl";
  ASSERT_EQ(run("--headless --seed 3 --script " + script + " --trace " + t), 0);
  const std::string trace = slurp(t);
  const auto end = trace.find("\"event\":\"level_end\"");
  ASSERT_NE(end, std::string::npos) << trace;
  const std::string line = trace.substr(end, trace.find('\n', end) - end);
  EXPECT_NE(line.find("\"wrecked\":true"), std::string::npos) << line;
  EXPECT_NE(line.find("\"wreckTime\":1806"), std::string::npos) << line;
  EXPECT_NE(line.find("\"levelWon\":false"), std::string::npos) << line;
  EXPECT_NE(line.find("\"points\":0"), std::string::npos) << line;
  EXPECT_NE(line.find("\"body\":null"), std::string::npos) << line;
}

TEST_F(ProgramTest, TheTraceShowsTheActorsAndTheGroundOfARunningLevel) {
  // Level 2 with the trigger held from the start: a rock, shots, trees; then the ground.
  const std::string script = writeScript("actors.script", "0 " + clickOn(kPlayButton) +
                                                              "\n"
                                                              "100 " +
                                                              clickOn(levelButton(2)) +
                                                              "\n"
                                                              "200 down 32\n"
                                                              "9000 state\n"
                                                              "9000 terrain\n");
  const std::string t = dir() + "/actors.jsonl";
  ASSERT_EQ(run("--headless --seed 5 --script " + script + " --trace " + t), 0);
  std::istringstream lines(slurp(t));
  std::string state, terrain;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("\"event\":\"state\"") != std::string::npos) state = line;
    if (line.find("\"event\":\"terrain\"") != std::string::npos) terrain = line;
  }
  ASSERT_FALSE(state.empty());
  EXPECT_NE(state.find("\"body\":{\"X\":400,\"Y\":"), std::string::npos) << state;
  EXPECT_NE(state.find("\"wheels\":[{\"X\":402,"), std::string::npos) << state;
  EXPECT_NE(state.find("\"forwardShot\":{"), std::string::npos) << state;
  EXPECT_NE(state.find("\"rocks\":[{"), std::string::npos) << state;  // the trigger shot at least one
  EXPECT_NE(state.find("\"IsDead\":true"), std::string::npos) << state;
  EXPECT_NE(state.find("\"ufos\":[{\"X\":0,\"Y\":40,\"Visible\":false,\"Active\":false"), std::string::npos);
  EXPECT_NE(state.find("\"bomb\":{\"X\":800,\"Y\":10,\"Visible\":false,\"Ready\":true}"), std::string::npos);
  EXPECT_NE(state.find("\"input\":16"), std::string::npos) << state;  // button 1 alone

  ASSERT_FALSE(terrain.empty());
  const auto open = terrain.find("\"height\":[");
  const auto close = terrain.find(']', open);
  ASSERT_NE(open, std::string::npos);
  std::istringstream heights(terrain.substr(open + 10, close - open - 10));
  int columns = 0;
  for (std::string h; std::getline(heights, h, ',');) {
    const int v = std::stoi(h);
    EXPECT_TRUE(v >= 520 && v <= 580) << v;  // level 2 has no pits: the ground wanders in its band
    ++columns;
  }
  EXPECT_EQ(columns, 801);
  EXPECT_NE(terrain.find("\"hole\":\"" + std::string(801, '0') + "\"}"), std::string::npos);
}

TEST_F(ProgramTest, TheStartLineCarriesTheSpeedsOfTheRefreshRate) {
  const std::string t = dir() + "/speeds.jsonl";
  ASSERT_EQ(run("--headless --refresh 165 --trace " + t), 0);
  const std::string trace = slurp(t);
  EXPECT_NE(trace.find("\"fastSpeed\":9,\"normalSpeed\":6,\"slowSpeed\":4,\"refreshRate\":82"),
            std::string::npos)
      << trace;
  ASSERT_EQ(run("--headless --refresh 0 --trace " + t), 0);
  EXPECT_NE(slurp(t).find("\"refreshRate\":75"), std::string::npos);
}

TEST_F(ProgramTest, ScreenshotsShowTheFrameAndTheButtons) {
  const std::string shot = dir() + "/start.bmp";
  const std::string script = writeScript("shot.script", "10 shot " + shot + "\n");
  ASSERT_EQ(run("--headless --script " + script), 0);
  RgbImage img = readBmp24(shot);
  ASSERT_EQ(img.width, 800);
  ASSERT_EQ(img.height, 600);
  const uint8_t* face = img.at(360, 420);  // inside Play
  EXPECT_EQ(face[0], 212);
  const uint8_t* black = img.at(100, 100);
  EXPECT_EQ(black[0] + black[1] + black[2], 0);
  const uint8_t* below = img.at(100, 590);
  EXPECT_EQ(below[0] + below[1] + below[2], 0);
}

TEST_F(ProgramTest, MistakesGiveOneLineAndStatusTwo) {
  std::string err;
  EXPECT_EQ(run("--frobnicate", &err), 2);
  EXPECT_NE(err.find("--frobnicate"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  const std::string bad = writeScript("bad.script", "0 move 1 2\n10 fly 3\n");
  EXPECT_EQ(run("--headless --script " + bad, &err), 2);
  EXPECT_NE(err.find("line 2"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_EQ(run("--headless --script /nonexistent/s", &err), 2);
  const std::string unwritable = writeScript("unwritable.script", "0 shot /nonexistent/dir/x.bmp\n");
  EXPECT_EQ(run("--headless --script " + unwritable, &err), 2);
  EXPECT_NE(err.find("/nonexistent/dir/x.bmp"), std::string::npos);
  EXPECT_EQ(run("--help"), 0);
}

}  // namespace
}  // namespace kv
