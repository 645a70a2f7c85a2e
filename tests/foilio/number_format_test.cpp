#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "foilio/number_format.h"

namespace tarvelo {
namespace {

TEST(FStTest, ColumnsOfTheTables) {
  EXPECT_EQ(FSt(3, 2, 5, 0), "   0.00000");
  EXPECT_EQ(FSt(3, 2, 5, -0.25), "  -0.25000");
  EXPECT_EQ(FSt(3, 2, 5, 0.123456), "   0.12346");
  EXPECT_EQ(FSt(3, 2, 5, 0.000004), "   0.00000");
  EXPECT_EQ(FSt(3, 2, 5, 12.5), "   12.50000");
  EXPECT_EQ(FSt(3, 2, 0, 7), "    7");
  EXPECT_EQ(FSt(3, 2, 0, 42), "   42");
  EXPECT_EQ(FSt(3, 2, 0, 120), "   120");
  EXPECT_EQ(FSt(0, 2, 5, -0.5), "-0.50000");
  EXPECT_EQ(FSt(0, 2, 5, 0.00012), "0.00012");
  EXPECT_EQ(FSt(3, 2, 0, -7), "  -7");  // "-7" is already nl wide
  EXPECT_EQ(FSt(3, 2, 5, 1234.5), "   1234.50000");
}

TEST(FStTest, HalvesRoundAwayFromZeroOnTheExactValue) {
  // 0.015625 is exactly halfway at five decimals.
  EXPECT_EQ(FSt(3, 2, 5, 0.015625), "   0.01563");
  EXPECT_EQ(FSt(3, 2, 5, -0.015625), "  -0.01563");
  // 0.123455 is held as 0.12345499999..., a hair below the halfway point.
  EXPECT_EQ(FSt(3, 2, 5, 0.123455), "   0.12345");
  EXPECT_EQ(FSt(3, 2, 5, 9.999995), "   10.00000");
  EXPECT_EQ(FSt(3, 2, 0, 2.5), "    3");
  EXPECT_EQ(FSt(3, 2, 0, 99.5), "   100");
}

TEST(FStTest, SinglePrecisionValuesUseTheirWidenedValue) {
  // -0.00034f is -0.000339999992866...: still -0.00034.
  EXPECT_EQ(FSt(3, 2, 5, -0.00034f), "  -0.00034");
  // 0.000015f is 0.0000149999996...: below the halfway point.
  EXPECT_EQ(FSt(3, 2, 5, 0.000015f), "   0.00001");
}

TEST(FStTest, NegativeValueRoundingToZeroHasNoMinusSign) {
  EXPECT_EQ(FSt(3, 2, 5, -0.000001), "   0.00000");
  EXPECT_EQ(FSt(3, 2, 5, -0.0), "   0.00000");
  EXPECT_EQ(FSt(0, 2, 5, -4e-6), "0.00000");
  EXPECT_EQ(FSt(3, 2, 5, -0.000005), "  -0.00001");
}

TEST(FStTest, PointIsKeptUnderACommaLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_ALL, n)) != nullptr) break;
  if (set == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(FSt(3, 2, 5, -0.25), "  -0.25000");
  EXPECT_EQ(NumberItem(8), " 8 ");
  std::setlocale(LC_ALL, "C");
}

TEST(NumberItemTest, BlankDigitsBlank) {
  EXPECT_EQ(NumberItem(8), " 8 ");
  EXPECT_EQ(NumberItem(35), " 35 ");
  EXPECT_EQ(NumberItem(-3), "-3 ");
  EXPECT_EQ(NumberItem(0), " 0 ");
  EXPECT_EQ(NumberItem(1000000000), " 1000000000 ");
}

}  // namespace
}  // namespace tarvelo
