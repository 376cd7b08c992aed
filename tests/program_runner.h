#pragma once
// Runs the real program, headless, the way the harness runs it, each test in a folder of its own
// (CTest runs tests side by side).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/buttons.h"
#include "tests/test_files.h"

namespace kv::test {

class ProgramTest : public ::testing::Test {
 protected:
  // Whatever an earlier run of the same test left behind is gone.
  void SetUp() override {
    std::filesystem::remove_all(dir());
    dir();
  }

 public:
  static std::string dir() {
    const std::string d = ::testing::TempDir() + "/kv_program_" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(d);
    return d;
  }
  // The program's exit status (-1 when a signal ended it); its stderr goes to *err. With cwd, the
  // program runs in that folder.
  static int run(const std::string& args, std::string* err = nullptr, const std::string& cwd = "") {
    const std::string errFile = dir() + "/stderr.txt";
    const std::string cd = cwd.empty() ? "" : "cd '" + cwd + "' && ";
    const int status = std::system((cd + "exec " + KV_PROGRAM + " " + args + " 2>" + errFile).c_str());
    if (err) *err = slurp(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string slurp(const std::string& path) { return kv::slurp(path); }
  static std::string writeScript(const std::string& name, const std::string& text) {
    const std::string path = dir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static long lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }
};

}  // namespace kv::test
