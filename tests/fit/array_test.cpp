#include <gtest/gtest.h>

#include "state/state.h"

namespace tarvelo {
namespace {

TEST(ArrayTest, AllocationZeroFillsReplacesAndBoundsEveryAccess) {
  Array2<float> dy;
  EXPECT_FALSE(dy.exists());
  EXPECT_THROW(dy(1, 1), IndexError);  // no array yet
  dy.allocate(0, 40, 1, 2);
  dy(40, 2) = 1.5f;
  dy.allocate(0, 3, 1, 2);
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(dy(i, 1) + dy(i, 2), 0.0f);
  EXPECT_FALSE(dy.has(40, 2));
  for (auto [i, k] : {std::pair{4, 1}, {-1, 1}, {0, 0}, {3, 3}}) EXPECT_THROW(dy(i, k), IndexError);

  Array1<double> xcp;
  xcp.allocate(1, 8);
  EXPECT_NO_THROW(xcp(8));
  EXPECT_THROW(xcp(0), IndexError);
  EXPECT_THROW(xcp(9), IndexError);
}

TEST(StateTest, StartsEmptyWithOnlyThePlotTables) {
  State s;
  EXPECT_EQ(s.nScreen, 0);
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_TRUE(s.InFile.empty() && s.OutFile.empty() && s.IDLine.empty());
  EXPECT_FALSE(s.xin.exists() || s.yd.exists() || s.tk.exists() || s.xcp.exists() ||
               s.ycp.exists() || s.dy.exists() || s.rms.exists() || s.b.exists());
  EXPECT_TRUE(s.xp.has(0, 0) && s.xp.has(100, 2) && !s.xp.has(101, 2) && s.yp.has(100, 2));
  EXPECT_EQ(s.yp(100, 2), 0.0);
}

}  // namespace
}  // namespace tarvelo
