// The harness's own faults: files it cannot read or write, outputs that would land on inputs, a
// start that fails, errors during a run. Each ends the run with one line and a non-zero status.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/harness_output.h"
#include "app/program.h"
#include "platform/components/application.h"
#include "state/game_state.h"
#include "tests/program_runner.h"

namespace kv {
namespace {

using test::ProgramTest;
namespace fs = std::filesystem;

// Runs the program with its stdout into a pipe whose reader takes a few bytes and then goes away.
// Returns the raw wait status.
int runIntoClosingPipe(const std::string& script, std::string& err, const std::string& errFile) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    ::close(fds[1]);
    if (!freopen(errFile.c_str(), "w", stderr)) _exit(99);
    ::signal(SIGPIPE, SIG_DFL);  // as a shell would start it
    ::execl(KV_PROGRAM, KV_PROGRAM, "--headless", "--script", script.c_str(), "--trace", "/dev/stdout",
            nullptr);
    _exit(98);
  }
  ::close(fds[1]);
  char head[10];
  [[maybe_unused]] ssize_t got = ::read(fds[0], head, sizeof head);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  err = ProgramTest::slurp(errFile);
  return status;
}

TEST_F(ProgramTest, OutputFilesReportTheirFirstFailureOnceAndCreateNothingEarly) {
  HarnessOutputs outputs;
  int stops = 0;
  outputs.onFailure([&] { ++stops; });
  const std::string path = dir() + "/out.bin";
  {
    OutputFile file(outputs, "the recording", path);
    EXPECT_FALSE(fs::exists(path));  // nothing before create()
    ASSERT_TRUE(file.create());
    EXPECT_TRUE(file.write("RIFF....WAVE"));
    EXPECT_TRUE(file.writeAt(4, "\x04\0\0\0", 4));
    EXPECT_TRUE(file.close());
  }
  EXPECT_EQ(slurp(path), std::string("RIFF\x04\0\0\0WAVE", 12));
  EXPECT_FALSE(outputs.failed());

  OutputFile full(outputs, "the recording", "/dev/full");
  ASSERT_TRUE(full.create());
  EXPECT_FALSE(full.write("x"));
  EXPECT_FALSE(full.write("y"));
  OutputFile other(outputs, "the trace file", dir() + "/no/such/folder/t");
  EXPECT_FALSE(other.create());
  EXPECT_EQ(outputs.failure(), "cannot write the recording /dev/full: No space left on device");
  EXPECT_EQ(stops, 1);
}

TEST_F(ProgramTest, WritesThatFailEndTheRunWithOneLineAndStatusTwo) {
  std::string err;
  EXPECT_EQ(run("--headless --trace /dev/full", &err), 2);
  EXPECT_NE(err.find("cannot write the trace file /dev/full: No space left on device"), std::string::npos)
      << err;
  EXPECT_EQ(lines(err), 1);

  EXPECT_EQ(run("--headless --script " + writeScript("full.script", "10 shot /dev/full\n"), &err), 2);
  EXPECT_NE(err.find("cannot write the screenshot /dev/full"), std::string::npos) << err;
  EXPECT_EQ(lines(err), 1);

  EXPECT_EQ(run("--headless --trace " + dir(), &err), 2);
  EXPECT_NE(err.find("the trace file"), std::string::npos) << err;

  // Far more trace than a pipe holds, so the program is still writing when its reader goes.
  std::string many;
  for (int t = 0; t < 400; ++t) many += std::to_string(t) + " state\n";
  const int status = runIntoClosingPipe(writeScript("many.script", many), err, dir() + "/pipe_err.txt");
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(err.find("cannot write the trace file /dev/stdout: Broken pipe"), std::string::npos) << err;
  EXPECT_EQ(lines(err), 1);
}

TEST_F(ProgramTest, ScriptsThatCannotBeReadOrAreTooLongAreRefused) {
  std::string err;
  EXPECT_EQ(run("--headless --script " + dir(), &err), 2);
  EXPECT_NE(err.find("it is a folder"), std::string::npos) << err;
  // Opens, but every read fails (even for root, who may read any file).
  EXPECT_EQ(run("--headless --script /proc/self/mem", &err), 2);
  EXPECT_NE(err.find("cannot read script /proc/self/mem: Input/output error"), std::string::npos) << err;
  EXPECT_EQ(run("--headless --script ''", &err), 2);
  EXPECT_EQ(run("--headless --trace ''", &err), 2);
  EXPECT_NE(err.find("--trace needs a file name"), std::string::npos) << err;
  // Endless input stops at the limit instead of filling memory.
  EXPECT_EQ(run("--headless --script /dev/zero", &err), 2);
  EXPECT_NE(err.find("larger than 64 MiB"), std::string::npos) << err;
  EXPECT_EQ(run("--headless --script " + writeScript("late.script", "100 state\n86400001 quit\n"), &err), 2);
  EXPECT_NE(err.find("line 2: time 86400001 is later than 86400000"), std::string::npos) << err;
  EXPECT_EQ(lines(err), 1);
}

TEST_F(ProgramTest, OutputsNeverLandOnTheScriptOrOnEachOther) {
  std::string err;
  const std::string text = "0 state\n";
  const std::string script = writeScript("s.script", text);
  const std::string sameScript = dir() + "/../" + fs::path(dir()).filename().string() + "/./s.script";
  EXPECT_EQ(run("--headless --script " + script + " --trace " + sameScript, &err), 2);
  EXPECT_NE(err.find("the trace file"), std::string::npos) << err;
  EXPECT_NE(err.find("is also the script"), std::string::npos) << err;
  EXPECT_EQ(slurp(script), text);

  const std::string trace = dir() + "/t.jsonl";
  EXPECT_EQ(
      run("--headless --script " + writeScript("shot.script", "0 shot " + trace + "\n") + " --trace " + trace,
          &err),
      2);
  EXPECT_NE(err.find("the screenshot " + trace + " is also the trace file"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(trace));
  const std::string overScript = writeScript("over.script", "0 shot " + dir() + "/over.script\n");
  EXPECT_EQ(run("--headless --script " + overScript, &err), 2);
  EXPECT_EQ(slurp(overScript), "0 shot " + dir() + "/over.script\n");

  // Two screenshots may share a file: the later one wins.
  const std::string shot = dir() + "/s.bmp";
  EXPECT_EQ(
      run("--headless --script " + writeScript("two.script", "0 shot " + shot + "\n9 shot " + shot + "\n")),
      0);
  EXPECT_TRUE(fs::exists(shot));
}

TEST_F(ProgramTest, AStartThatFailsLeavesNoFileBehind) {
  // A matrix font that opens but cannot be read stops the start, like a missing one.
  const std::string cwd = dir() + "/unreadable_font";
  fs::create_directories(cwd);
  fs::remove(cwd + "/alfabet");
  fs::create_symlink("/proc/self/mem", cwd + "/alfabet");
  const std::string script = writeScript("shot.script", "0 shot shot.bmp\n0 state\n");
  std::string err;
  EXPECT_EQ(run("--headless --script " + script + " --trace t.jsonl", &err, cwd), 1);
  EXPECT_NE(err.find("Cannot read file \"alfabet\""), std::string::npos) << err;
  EXPECT_EQ(lines(err), 1);
  EXPECT_FALSE(fs::exists(cwd + "/t.jsonl"));
  EXPECT_FALSE(fs::exists(cwd + "/shot.bmp"));
}

TEST_F(ProgramTest, AnErrorInAHandlerLetsTheRunGoOnButEndsItWithStatusThree) {
  resetGameState();
  CommandLine cl;
  cl.headless = true;
  cl.tracePath = dir() + "/t.jsonl";
  cl.scriptPath = writeScript("s.script", "100 move 300 300\n5000 state\n");
  ProgramHooks hooks;
  hooks.beforeRun = [](HeadlessBackend&, TApplication& app) {
    app.setIdleHandler([&app](bool&) {
      app.clearIdleHandler();
      throw std::runtime_error("a handler failed");
    });
  };
  testing::internal::CaptureStderr();
  const int status = runProgram(cl, hooks);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, kExitErrorInRun);
  EXPECT_NE(err.find("korvalundrix: a handler failed\n"), std::string::npos) << err;
  EXPECT_NE(err.find("1 error(s) during the run"), std::string::npos) << err;
  // The run went on to its end: the state line and the exit line are there.
  const std::string trace = slurp(cl.tracePath);
  EXPECT_NE(trace.find("\"event\":\"state\",\"t\":5"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\"event\":\"exit\""), std::string::npos);
  resetGameState();
}

// Every file operation of a session, as the kernel saw it, from a working folder nobody may write
// to (as root permissions stop nothing, so the operations themselves are watched).
TEST_F(ProgramTest, ASessionWritesNoFileButTheOnesItWasAskedFor) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  const std::string cwd = dir() + "/read_only";
  const std::string out = dir() + "/out";
  fs::remove_all(cwd);
  fs::create_directories(cwd);
  fs::create_directories(out);
  fs::permissions(cwd, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                           fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  // The intro, a level, a state line, a screenshot, Stop, another level's start, Exit.
  const std::string script =
      writeScript("session.script", "100 move 300 300\n2500 " + clickOn(kPlayButton) + "\n2700 " +
                                        clickOn(levelButton(1)) +
                                        "\n"
                                        "9000 state\n9100 shot " +
                                        out + "/s.bmp\n9200 " + clickOn(kStopButton) +
                                        "\n"
                                        "9400 " +
                                        clickOn(levelButton(2)) + "\n14000 " + clickOn(kExitButton) + "\n");
  const std::string log = dir() + "/strace.txt";
  std::string err;
  const std::string tracePath = out + "/t.jsonl", audioPath = out + "/a.wav";
  const std::string args =
      " --headless --script " + script + " --trace " + tracePath + " --audio-out " + audioPath;
  ASSERT_EQ(run(args, &err, cwd), 0) << err;
  // The leak checker cannot work under ptrace and would end the traced run with status 1; the run above
  // already checked this session for leaks.
  ASSERT_EQ(std::system(("cd '" + cwd + "' && ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" strace -f -qq " +
                         "-e trace=%file -o '" + log + "' " + KV_PROGRAM + args + " 2>/dev/null")
                            .c_str()),
            0);
  std::ifstream in(log);
  int opens = 0;
  std::vector<std::string> written;
  for (std::string line; std::getline(in, line);) {
    const bool open = line.find(" open") != std::string::npos || line.find(" creat(") != std::string::npos;
    opens += open;
    const bool writes =
        line.find("O_WRONLY") != std::string::npos || line.find("O_RDWR") != std::string::npos ||
        line.find("O_CREAT") != std::string::npos || line.find("O_TRUNC") != std::string::npos ||
        line.find(" creat(") != std::string::npos;
    // Anything that changes the file system besides opening a file.
    static const char* const kChanges[] = {" unlink",   " rename", " mkdir",   " rmdir",
                                           " truncate", " link",   " symlink", " chmod",
                                           " fchmodat", " chown",  " utime",   " mknod"};
    bool changes = false;
    for (const char* c : kChanges) changes = changes || line.find(c) != std::string::npos;
    if ((open && writes) || changes) written.push_back(line.substr(line.find(' ') + 1));
  }
  EXPECT_GT(opens, 5);  // strace really saw the program at work
  ASSERT_EQ(written.size(), 3u) << ::testing::PrintToString(written);
  EXPECT_NE(written[0].find("\"" + tracePath + "\""), std::string::npos) << written[0];
  EXPECT_NE(written[1].find("\"" + audioPath + "\""), std::string::npos) << written[1];
  EXPECT_NE(written[2].find("\"" + out + "/s.bmp\""), std::string::npos) << written[2];
  EXPECT_TRUE(fs::is_empty(cwd));
}

}  // namespace
}  // namespace kv
