#include <gtest/gtest.h>

#include "core/speed_table.h"

namespace kv {
namespace {

struct Row {
  int reported;
  int effective, k, fast, normal, slow;
};

void expectRows(std::initializer_list<Row> rows) {
  for (const Row& r : rows) {
    SpeedChoice c = chooseSpeeds(r.reported);
    EXPECT_EQ(c.refreshRate, r.effective) << r.reported;
    EXPECT_EQ(c.vblanksPerFrame, r.k) << r.reported;
    EXPECT_EQ(c.fastSpeed, r.fast) << r.reported;
    EXPECT_EQ(c.normalSpeed, r.normal) << r.reported;
    EXPECT_EQ(c.slowSpeed, r.slow) << r.reported;
  }
}

TEST(SpeedTableTest, RowsAndTheirBoundaries) {
  expectRows({
      {60, 60, 1, 10, 7, 5},
      {74, 74, 1, 10, 7, 5},
      {75, 75, 1, 9, 6, 4},
      {84, 84, 1, 9, 6, 4},
      {85, 85, 1, 8, 5, 3},
      {99, 99, 1, 8, 5, 3},
      {100, 100, 1, 7, 4, 2},
      {119, 119, 1, 7, 4, 2},
      {120, 120, 1, 6, 3, 1},
  });
}

TEST(SpeedTableTest, FastDisplaysShowEveryKthRefresh) {
  // 121 / 2 = 60.5 rounds to the even 60.
  expectRows({
      {121, 60, 2, 10, 7, 5},
      {144, 72, 2, 10, 7, 5},
      {165, 82, 2, 9, 6, 4},
      {240, 120, 2, 6, 3, 1},
      {241, 80, 3, 9, 6, 4},
      {360, 120, 3, 6, 3, 1},
  });
}

TEST(SpeedTableTest, SlowAndUnknownDisplaysStillGetAPace) {
  for (int rate : {2, 30, 50, 59}) {
    SpeedChoice c = chooseSpeeds(rate);
    EXPECT_EQ(c.refreshRate, rate);
    EXPECT_EQ(c.fastSpeed, 10) << rate;
    EXPECT_EQ(c.normalSpeed, 7) << rate;
    EXPECT_EQ(c.slowSpeed, 5) << rate;
  }
  // 1 Hz is a driver's way of saying "the default rate", just as 0 is.
  for (int rate : {0, 1}) {
    SpeedChoice unknown = chooseSpeeds(rate);
    EXPECT_EQ(unknown.refreshRate, 75);
    EXPECT_EQ(unknown.fastSpeed, 9);
    EXPECT_EQ(unknown.normalSpeed, 6);
    EXPECT_EQ(unknown.slowSpeed, 4);
  }
}

}  // namespace
}  // namespace kv
