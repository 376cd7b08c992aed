#pragma once
// Text written with the patterns of one image-list entry as glyphs (the HUD lines and the level
// banner use the entry "font").
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

class TDirectDrawSurface;
class TDXImageList;

// The character of each pattern, in pattern order; a character draws the pattern of its first
// occurrence. 67 bytes: the capitals, a double quote, "at", two spaces, the digits, marks, and the
// bytes 0xC5 0xD6 0xC4 (Å Ö Ä).
inline constexpr std::string_view FontCharTable{
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\"at  0123456789<>=()-'!_+\\/{}^&%.=$#\xC5\xD6\xC4?*", 67};

// The pattern a text byte draws: 'a'..'z' count as capitals, every other byte is itself; a byte not
// in the table draws pattern 30 (blank in the game's font).
int32_t FontPatternOf(uint8_t c);

// Writes text with the patterns of the entry `name` (looked up without regard to case). The first
// glyph of each line is drawn one pattern width right of x; '|' starts a new line PatternHeight + 1
// lower. The stored PatternWidth and PatternHeight are used as they are. A name without an entry
// raises EListError "List index out of bounds (-1)". The surface must not be locked.
void DrawFontText(TDirectDrawSurface* surface, TDXImageList& list, const std::string& name,
                  const std::string& text, int32_t x, int32_t y);

}  // namespace kv
