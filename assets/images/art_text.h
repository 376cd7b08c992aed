#pragma once
// Small helpers shared by the readers of our text art sources: lines with their numbers, numbers
// with range checks, and errors that name the file and line.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "gfx/dib_format.h"

namespace kv {

class ArtSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ArtLine {
  int number = 0;    // 1-based line number in the source
  std::string text;  // without the line end
};

// Splits a source into lines (LF or CRLF).
std::vector<ArtLine> splitArtLines(const std::string& text);

// The whitespace-separated words of a directive line.
std::vector<std::string> artWords(const std::string& line);

// A whole number in [low, high]; throws ArtSourceError naming the source and line otherwise.
int artNumber(const std::string& word, int low, int high, const std::string& source, int line);

// Three words "R G B" starting at words[first].
Rgb8 artColour(const std::vector<std::string>& words, size_t first, const std::string& source, int line);

[[noreturn]] void artFail(const std::string& source, int line, const std::string& what);

// True when a drawn colour would pack to the same 5-6-5 pixel as the transparent colour or lies
// so close to it that it reads as a hole: within 8 of it in every channel.
bool tooCloseToKey(Rgb8 colour, Rgb8 key);

// Reads a whole file; throws ArtSourceError when it cannot be read.
std::string readArtFile(const std::string& path);

}  // namespace kv
