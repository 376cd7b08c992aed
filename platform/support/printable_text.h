#pragma once
// Words from outside (option values, script lines, file names) shown inside a one-line message: bytes
// that are not printable ASCII are shown escaped (\n, \t, \xNN), so a NUL cannot cut the message and no
// escape sequence reaches the terminal, and a long word is cut to its first characters followed by
// "...", so a huge word cannot make a huge line.
#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// Words are cut after this many bytes of the original.
constexpr size_t kPrintableWordLength = 40;
// File names get more room: their ends tell them apart.
constexpr size_t kPrintablePathLength = 160;

std::string printable(std::string_view text, size_t maxBytes = kPrintableWordLength);
inline std::string printablePath(std::string_view path) {
  return printable(path, kPrintablePathLength);
}

}  // namespace kv
