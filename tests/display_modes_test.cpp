// The search for the full-screen mode: what the device is asked for, in which order, and what
// Display holds afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "gfx/display_modes.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

TEST(DisplayModeTest, BitCountAcceptsOnlyDisplayDepths) {
  TDXDrawDisplay d;
  EXPECT_EQ(d.BitCount(), 16);
  for (int bits : {8, 24, 32, 16}) {
    d.SetBitCount(bits);
    EXPECT_EQ(d.BitCount(), bits);
  }
  for (int bits : {0, 15, 12, 64}) {
    try {
      d.SetBitCount(bits);
      ADD_FAILURE() << bits;
    } catch (const EDirectDrawError& e) {
      EXPECT_STREQ(e.what(), "Display requires 8, 16, 24 or 32 bits");
    }
  }
  EXPECT_EQ(d.BitCount(), 16);
}

// Runs the selection on a list and records what the device was asked for.
struct Selection {
  std::vector<TDXDrawDisplayMode> asked;
  std::vector<TDXDrawDisplayMode> accepted;  // empty: everything listed is accepted
  bool run(TDXDrawDisplay& d, std::vector<TDXDrawDisplayMode> modes) {
    sortModes(modes);
    return selectDisplayMode(d, modes, [&](const TDXDrawDisplayMode& m) {
      asked.push_back(m);
      const auto& ok = accepted.empty() ? modes : accepted;
      return std::find(ok.begin(), ok.end(), m) != ok.end();
    });
  }
};

TEST(DisplayModeTest, RatioRuleComesFirstThenAnySize) {
  TDXDrawDisplay d;
  d.Width = 800;
  d.Height = 600;
  d.FixedSize = false;
  // 840x600 is the smallest that fits, but only 1024x768 has the 4:3 ratio; 1280x960 is larger.
  Selection s;
  ASSERT_TRUE(s.run(d, {{1280, 960, 16}, {840, 600, 16}, {1024, 768, 16}}));
  EXPECT_EQ(s.asked, (std::vector<TDXDrawDisplayMode>{{800, 600, 16}, {1024, 768, 16}}));
  EXPECT_EQ(d.Width, 1024);
  EXPECT_EQ(d.Height, 768);

  d.Width = 800;
  d.Height = 600;
  d.FixedRatio = false;
  Selection t;
  ASSERT_TRUE(t.run(d, {{1280, 960, 16}, {840, 600, 16}, {1024, 768, 16}}));
  EXPECT_EQ(t.asked.back(), (TDXDrawDisplayMode{840, 600, 16}));

  // The ratio search's mode is refused: the search without the rule comes next.
  d.Width = 800;
  d.Height = 600;
  d.FixedRatio = true;
  Selection u;
  u.accepted = {{840, 600, 16}};
  ASSERT_TRUE(u.run(d, {{840, 600, 16}, {1024, 768, 16}}));
  EXPECT_EQ(u.asked, (std::vector<TDXDrawDisplayMode>{{800, 600, 16}, {1024, 768, 16}, {840, 600, 16}}));
  EXPECT_EQ(d.Width, 840);
}

TEST(DisplayModeTest, TheRequestedDepthIsPreferredAtTheChosenSize) {
  TDXDrawDisplay d;
  d.Width = 640;
  d.Height = 400;
  d.FixedSize = false;
  d.FixedRatio = false;
  Selection s;
  // The last candidate is 800x600x32, but the size also comes in the requested 16 bits.
  ASSERT_TRUE(s.run(d, {{800, 600, 32}, {800, 600, 16}, {800, 600, 24}}));
  EXPECT_EQ(s.asked.back(), (TDXDrawDisplayMode{800, 600, 16}));
  EXPECT_EQ(d.BitCount(), 16);
  EXPECT_EQ(d.Width, 800);
}

TEST(DisplayModeTest, ImpossibleRequestsFailWithoutAskingTheDevice) {
  for (auto [w, h] : {std::pair{0, 600}, std::pair{800, 0}, std::pair{-800, 600}}) {
    TDXDrawDisplay d;
    d.Width = w;
    d.Height = h;
    Selection s;
    EXPECT_FALSE(s.run(d, {{800, 600, 16}}));
    EXPECT_TRUE(s.asked.empty());
  }
}

TEST(DisplayModeTest, ModesOfDepthsTheDisplayCannotHoldAreNotCandidates) {
  // Some platforms list 15-bit modes; Display could not take one, so the device is never asked.
  TDXDrawDisplay d;
  d.Width = 800;
  d.Height = 600;
  Selection s;
  EXPECT_FALSE(s.run(d, {{800, 600, 8}, {800, 600, 15}}));
  EXPECT_EQ(s.asked, (std::vector<TDXDrawDisplayMode>{{800, 600, 16}}));
  EXPECT_EQ(d.BitCount(), 16);
}

}  // namespace
}  // namespace kv
