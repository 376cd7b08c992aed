#include "gfx/font_text.h"

#include <array>
#include <limits>

#include "gfx/image_list.h"

namespace kv {

namespace {

constexpr int32_t kMissingPattern = 30;

// Pattern of every byte, from the first occurrence of its upper-cased form in the table.
constexpr std::array<int32_t, 256> makePatternTable() {
  std::array<int32_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const int u = (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
    table[c] = kMissingPattern;
    for (size_t i = 0; i < FontCharTable.size(); ++i) {
      if (static_cast<uint8_t>(FontCharTable[i]) == u) {
        table[c] = static_cast<int32_t>(i);
        break;
      }
    }
  }
  return table;
}

constexpr std::array<int32_t, 256> kPatternOf = makePatternTable();

bool fitsInt32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

}  // namespace

static_assert(FontCharTable.size() == 67);

int32_t FontPatternOf(uint8_t c) {
  return kPatternOf[c];
}

void DrawFontText(TDirectDrawSurface* surface, TDXImageList& list, const std::string& name,
                  const std::string& text, int32_t x, int32_t y) {
  TPictureCollection& items = list.Items();
  const int32_t index = items.IndexOf(name);
  const int64_t pw = items.Items(index).PatternWidth;
  int64_t top = y;
  int64_t column = 1;
  for (const char ch : text) {
    TPictureCollectionItem& entry = items.Items(index);
    if (ch == '|') {
      top += static_cast<int64_t>(entry.PatternHeight) + 1;
      column = 1;
      continue;
    }
    const int64_t left = x + pw * column;
    // Glyphs beyond the 32-bit coordinate range could never be on a surface.
    if (fitsInt32(left) && fitsInt32(top))
      entry.Draw(surface, static_cast<int32_t>(left), static_cast<int32_t>(top),
                 FontPatternOf(static_cast<uint8_t>(ch)));
    ++column;
  }
}

}  // namespace kv
