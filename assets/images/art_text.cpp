#include "assets/images/art_text.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kv {

std::vector<ArtLine> splitArtLines(const std::string& text) {
  std::vector<ArtLine> lines;
  size_t start = 0;
  int number = 1;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (end == text.size() && line.empty()) break;
    lines.push_back({number++, line});
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> artWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

void artFail(const std::string& source, int line, const std::string& what) {
  throw ArtSourceError(source + ":" + std::to_string(line) + ": " + what);
}

int artNumber(const std::string& word, int low, int high, const std::string& source, int line) {
  char* end = nullptr;
  long v = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0') artFail(source, line, "'" + word + "' is not a whole number");
  if (v < low || v > high) {
    artFail(source, line, "'" + word + "' is outside " + std::to_string(low) + ".." + std::to_string(high));
  }
  return static_cast<int>(v);
}

Rgb8 artColour(const std::vector<std::string>& words, size_t first, const std::string& source, int line) {
  if (words.size() != first + 3) artFail(source, line, "a colour is three numbers: red green blue");
  Rgb8 c;
  c.r = static_cast<uint8_t>(artNumber(words[first], 0, 255, source, line));
  c.g = static_cast<uint8_t>(artNumber(words[first + 1], 0, 255, source, line));
  c.b = static_cast<uint8_t>(artNumber(words[first + 2], 0, 255, source, line));
  return c;
}

bool tooCloseToKey(Rgb8 colour, Rgb8 key) {
  auto near = [](uint8_t a, uint8_t b) { return std::abs(int{a} - int{b}) <= 8; };
  const bool samePixel =
      (colour.r >> 3) == (key.r >> 3) && (colour.g >> 2) == (key.g >> 2) && (colour.b >> 3) == (key.b >> 3);
  return samePixel || (near(colour.r, key.r) && near(colour.g, key.g) && near(colour.b, key.b));
}

std::string readArtFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ArtSourceError("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kv
