#pragma once
// Run-time files (the matrix font, the music) are looked up in the working directory first, then in
// the game's data folder: the installed one (found from where the program is, then where it was
// meant to be installed), or (for a program run from its build folder) the build's
// and the source tree's data/ folders.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv {

// A file the game cannot run without is missing; the message names the file and the places searched.
class MissingDataFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folders searched, in order, starting with the working directory.
std::vector<std::string> dataSearchDirs();

// The first existing regular file called name in dirs; none when it is nowhere.
std::optional<std::string> findDataFile(const std::string& name, const std::vector<std::string>& dirs);

}  // namespace kv
