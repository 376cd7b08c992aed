#include "tests/game_fixture.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace kv::test {

std::string blockFontDir() {
  // One folder per process: CTest runs tests side by side, and each would rewrite a shared file.
  const std::string dir = ::testing::TempDir() + "/block_font_" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  std::ofstream f(dir + "/alfabet", std::ios::binary | std::ios::trunc);
  for (int g = 0; g < 27; ++g) {
    for (int k = 0; k < 320; ++k) f.put(g == 0 ? 0 : (k < 16 ? 17 : 34));
  }
  return dir;
}

}  // namespace kv::test
