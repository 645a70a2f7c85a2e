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

}  // namespace
}  // namespace tarvelo
