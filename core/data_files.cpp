#include "core/data_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kv {

namespace fs = std::filesystem;

std::vector<std::string> dataSearchDirs() {
  std::vector<std::string> dirs{"."};
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = (exe.parent_path() / KV_DATA_FROM_BIN).lexically_normal();
    if (fs::is_directory(installed, ec)) dirs.push_back(installed.string());
  }
  std::vector<const char*> more{KV_INSTALL_DATA_DIR};
  // Only a program run from its build folder looks into the build's and the source tree's data/: an
  // installed one never reads files from wherever it happened to be built.
  if (!exe.empty() && fs::equivalent(exe.parent_path(), KV_BUILD_DIR, ec)) {
    more.insert(more.end(), {KV_BUILD_DATA_DIR, KV_SOURCE_DATA_DIR});
  }
  for (const char* d : more) {
    if (std::find(dirs.begin(), dirs.end(), d) == dirs.end()) dirs.emplace_back(d);
  }
  return dirs;
}

std::optional<std::string> findDataFile(const std::string& name, const std::vector<std::string>& dirs) {
  for (const std::string& dir : dirs) {
    std::error_code ec;
    fs::path candidate = fs::path(dir) / name;
    if (fs::is_regular_file(candidate, ec)) return dir == "." ? name : candidate.string();
  }
  return std::nullopt;
}

}  // namespace kv
