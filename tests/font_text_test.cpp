#include <gtest/gtest.h>

#include <string>

#include "gfx/dd_surface.h"
#include "gfx/font_text.h"
#include "gfx/image_list.h"
#include "image_test_support.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

// A 440x88 font whose every 22x22 cell is filled with a colour naming the cell: red carries the
// cell number modulo 32, green the rest, blue is never 0 so no cell is black or the key.
Rgb8 cellColour(int cell) {
  return Rgb8{uint8_t((cell % 32) << 3), uint8_t((cell / 32) << 2), 8};
}

// The cell drawn at a pixel of a 5-6-5 surface, -1 where nothing was drawn.
int cellAt(const TDirectDrawSurface& s, int x, int y) {
  const uint16_t v = s.Pixel(x, y);
  if (v == 0) return -1;
  return (v >> 11) + 32 * ((v >> 5) & 0x3F);
}

struct FontRig : test::DisplayRig {
  FontRig() {
    init();
    TPictureCollectionItem& font = list.Items().Add();
    font.SetName("font");
    font.Picture = test::picture24(440, 88, [](int x, int y) { return cellColour((y / 22) * 20 + x / 22); });
    font.PatternWidth = 22;
    font.PatternHeight = 22;
    font.TransparentColor = 0xFF00FF;
    list.SetDXDraw(&draw);
    surface().Fill(0);
  }
  TDirectDrawSurface& surface() { return *draw.Surface(); }
  // Cells of one text line starting at (x + 22, y).
  std::vector<int> line(int x, int y, int count) {
    std::vector<int> cells;
    for (int i = 1; i <= count; ++i) cells.push_back(cellAt(surface(), x + 22 * i, y));
    return cells;
  }
  TDXImageList list;
};

TEST(FontText, TheHudLineStartsOneGlyphRightOfXWithBlankCellsForMarksNotInTheFont) {
  FontRig rig;
  DrawFontText(&rig.surface(), rig.list, "font", "Kilometry: 40", 470, 2);
  // K I L O M E T R Y, the colon (not in the table: 30), the space (29), 4 and 0.
  EXPECT_EQ(rig.line(470, 2, 13), (std::vector<int>{10, 8, 11, 14, 12, 4, 19, 17, 24, 30, 29, 35, 31}));
  EXPECT_EQ(cellAt(rig.surface(), 492, 2), 10);
  EXPECT_EQ(cellAt(rig.surface(), 491, 2), -1);
  EXPECT_EQ(cellAt(rig.surface(), 492 + 21, 2 + 21), 10);  // the whole 22x22 cell
  EXPECT_EQ(cellAt(rig.surface(), 492, 1), -1);
}

TEST(FontText, LowercaseDrawsTheCapitalsGlyphsAndOnlyLettersAreUpperCased) {
  FontRig rig;
  DrawFontText(&rig.surface(), rig.list, "FONT", "at", 0, 0);
  EXPECT_EQ(rig.line(0, 0, 2), (std::vector<int>{0, 19}));
  for (int c = 'a'; c <= 'z'; ++c) EXPECT_EQ(FontPatternOf(uint8_t(c)), c - 'a');
  EXPECT_EQ(FontPatternOf(0xE5), 30);  // å is not upper-cased to Å
  EXPECT_EQ(FontPatternOf(0xC5), 62);
  EXPECT_EQ(FontPatternOf(0xD6), 63);
  EXPECT_EQ(FontPatternOf(0xC4), 64);
  EXPECT_EQ(FontPatternOf('"'), 26);
  EXPECT_EQ(FontPatternOf(' '), 29);
  EXPECT_EQ(FontPatternOf('9'), 40);
  EXPECT_EQ(FontPatternOf('<'), 41);
  EXPECT_EQ(FontPatternOf('\\'), 51);
  EXPECT_EQ(FontPatternOf('='), 43);  // the second "=" is never found
  EXPECT_EQ(FontPatternOf('.'), 58);
  EXPECT_EQ(FontPatternOf('$'), 60);
  EXPECT_EQ(FontPatternOf('*'), 66);
  EXPECT_EQ(FontPatternOf(0), 30);
  EXPECT_EQ(FontPatternOf('|'), 30);

  DrawFontText(&rig.surface(), rig.list, "font", "\xE5\xC5", 0, 40);
  EXPECT_EQ(rig.line(0, 40, 2), (std::vector<int>{30, 62}));
}

TEST(FontText, TheBarStartsANewLineOnePatternHeightPlusOneLower) {
  FontRig rig;
  DrawFontText(&rig.surface(), rig.list, "font", "AB|CD", 10, 5);
  EXPECT_EQ(rig.line(10, 5, 3), (std::vector<int>{0, 1, -1}));
  EXPECT_EQ(rig.line(10, 28, 2), (std::vector<int>{2, 3}));
  EXPECT_EQ(cellAt(rig.surface(), 32, 26), 0);  // the first line's last row
  EXPECT_EQ(cellAt(rig.surface(), 32, 27), -1);
  EXPECT_EQ(cellAt(rig.surface(), 10, 28), -1);
}

TEST(FontText, EmptyTextDrawsNothingButAMissingNameRaises) {
  FontRig rig;
  DrawFontText(&rig.surface(), rig.list, "font", "", 0, 0);
  for (int y = 0; y < rig.surface().Height(); y += 3)
    for (int x = 0; x < rig.surface().Width(); x += 3) ASSERT_EQ(rig.surface().Pixel(x, y), 0);
  for (const char* text : {"", "A"}) {
    try {
      DrawFontText(&rig.surface(), rig.list, "fonts", text, 0, 0);
      ADD_FAILURE();
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
  }
}

TEST(FontText, TheStoredPatternSizeIsUsedAsItIs) {
  FontRig rig;
  TPictureCollectionItem& font = rig.list.Items()[0];
  font.PatternWidth = 0;  // patterns are whole 440-pixel rows; the glyphs do not advance
  font.PatternHeight = 22;
  rig.draw.Restore();
  ASSERT_EQ(font.PatternCount(), 4);
  DrawFontText(&rig.surface(), rig.list, "font", "B|A", 100, 0);
  EXPECT_EQ(cellAt(rig.surface(), 100, 0), 20);  // "B": pattern 1, the second row of cells, at x + 0
  EXPECT_EQ(cellAt(rig.surface(), 100, 22), -1);
  EXPECT_EQ(cellAt(rig.surface(), 100, 23), 0);  // PatternHeight + 1 lower
  EXPECT_EQ(cellAt(rig.surface(), 100 + 22, 23), 1);
  EXPECT_EQ(cellAt(rig.surface(), 99, 23), -1);
}

}  // namespace
}  // namespace kv
