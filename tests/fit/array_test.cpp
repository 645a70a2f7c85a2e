#include <gtest/gtest.h>

#include "fit/state.h"

namespace tarvelo {
namespace {

TEST(ArrayTest, AllocationZeroFillsAndReplacesOldContents) {
  Array2<float> dy;
  EXPECT_FALSE(dy.exists());
  EXPECT_FALSE(dy.has(1, 1));

  dy.allocate(0, 40, 1, 2);
  EXPECT_TRUE(dy.exists());
  EXPECT_EQ(dy.rows(), 41);
  dy(40, 2) = 1.5f;
  dy(0, 1) = -2.0f;

  dy.allocate(0, 3, 1, 2);
  EXPECT_EQ(dy.hi1(), 3);
  for (int i = 0; i <= 3; ++i)
    for (int k = 1; k <= 2; ++k) EXPECT_EQ(dy(i, k), 0.0f);
  EXPECT_FALSE(dy.has(40, 2));
}

TEST(ArrayTest, AccessOutsideTheRangeIsCaught) {
  Array1<double> xcp;
  EXPECT_THROW(xcp(1), IndexError);  // not allocated yet

  xcp.allocate(1, 8);
  EXPECT_NO_THROW(xcp(8));
  EXPECT_THROW(xcp(0), IndexError);
  EXPECT_THROW(xcp(9), IndexError);

  Array2<double> b;
  b.allocate(1, 8, 0, 4);
  EXPECT_NO_THROW(b(8, 0));
  EXPECT_THROW(b(9, 4), IndexError);
  EXPECT_THROW(b(8, 5), IndexError);
  EXPECT_THROW(b(1, -1), IndexError);
}

TEST(StateTest, StartsEmptyWithOnlyThePlotTables) {
  State s;
  EXPECT_EQ(s.nScreen, 0);
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_TRUE(s.InFile.empty() && s.OutFile.empty() && s.IDLine.empty());
  EXPECT_FALSE(s.xin.exists() || s.yd.exists() || s.tk.exists() || s.xcp.exists() ||
               s.ycp.exists() || s.dy.exists() || s.rms.exists() || s.b.exists());
  ASSERT_TRUE(s.xp.exists() && s.yp.exists());
  EXPECT_EQ(s.xp.lo1(), 0);
  EXPECT_EQ(s.xp.hi1(), 100);
  EXPECT_EQ(s.yp.hi2(), 2);
  EXPECT_EQ(s.yp(100, 2), 0.0);
}

}  // namespace
}  // namespace tarvelo
