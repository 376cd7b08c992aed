#include "platform/support/printable_text.h"

#include <cstdint>

namespace kv {

namespace {

// The length of a well-formed UTF-8 sequence at the start of s that encodes a character safe to
// show, or 0. C1 controls, the line separators and the characters that reorder text are not safe.
size_t safeUtf8Length(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  size_t length = 0;
  uint32_t cp = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, cp = b0 & 0x1Fu;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, cp = b0 & 0x0Fu;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, cp = b0 & 0x07u;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  if (cp < 0xA0 || cp == 0x2028 || cp == 0x2029 || (cp >= 0x202A && cp <= 0x202E) ||
      (cp >= 0x2066 && cp <= 0x2069) || cp == 0x200E || cp == 0x200F || cp == 0x061C) {
    return 0;
  }
  return length;
}

}  // namespace

std::string printable(std::string_view text, size_t maxBytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  size_t i = 0;
  while (i < text.size() && i < maxBytes) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (const size_t n = safeUtf8Length(text.substr(i)); n > 0) {
      out.append(text.substr(i, n));
      i += n;
      continue;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
    ++i;
  }
  if (i < text.size()) out += "...";
  return out;
}

}  // namespace kv
