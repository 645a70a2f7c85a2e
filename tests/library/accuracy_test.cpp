// The fit's accuracy as a designer meets it: a real outline imported at more
// and more stations must be fitted better, not worse, once every data point
// is placed at its own chord position; and the window's placement must show
// its error near the nose instead of hiding it.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace tarvelo {
namespace {

class AccuracyTest : public ::testing::Test {
 protected:
  AccuracyTest() { test::WriteBytes(file, test::Naca0012Outline()); }
  test::TempDir dir;
  const std::string file = dir.file("naca0012.dat");
};

// With the exact placement, 20 control points follow NACA 0012 to 2e-6 R.M.S.
// and 2e-5 at worst, however many stations the outline is cut at.
TEST_F(AccuracyTest, ExactPlacementFitsEveryStationCountToItsTolerance) {
  for (int stations : {41, 81, 161, 401}) {
    const Section section = ImportCoordinates(file, {stations, false});
    const Fit fit = FitSection(section, {20, "exact"});
    EXPECT_EQ(fit.placement, "exact");
    EXPECT_LE(fit.thickness.rms, 2e-6) << stations;
    EXPECT_LE(fit.thickness.max_deviation, 2e-5) << stations;
    EXPECT_EQ(fit.misplaced_points, 0) << stations;
    EXPECT_LT(fit.largest_misplacement, 1e-15) << stations;
  }
}

// The window's search misplaces the stations crowding the nose, and the
// report says so: the true largest deviation, the misplaced points.
TEST_F(AccuracyTest, TheWindowsPlacementShowsItsErrorAtTheNose) {
  const Section section = ImportCoordinates(file, {401, false});
  const Fit window = FitSection(section, 20);
  EXPECT_GE(window.thickness.max_deviation, 1e-3);
  EXPECT_LT(window.thickness.max_deviation_x, 0.005);
  EXPECT_GT(window.misplaced_points, 5);
  EXPECT_GT(window.largest_misplacement, 1e-4);
  // Its listing's R.M.S. error, at the parameters it found, is the window's own.
  EXPECT_GT(window.thickness.rms, 1e-4);
}

// 80 control points fit, write, read back and evaluate; 81 are refused.
TEST_F(AccuracyTest, EightyControlPointsGoThroughTheFoilFile) {
  const Section section = ImportCoordinates(file, {161, false});
  const Fit fit = FitSection(section, {80, "exact"});
  EXPECT_EQ(fit.control_points, 80);
  EXPECT_EQ(fit.knots.size(), 84u);
  WriteFoilFile(dir.file("eighty.FOI"), fit);
  const FoilSpline foil = ReadFoilFile(dir.file("eighty.FOI"));
  EXPECT_EQ(foil.control_x.size(), 80u);
  // The .FOI holds five decimals: the stored curve is the fit to that rounding.
  for (double x : {0.0, 0.001, 0.3, 0.9, 1.0}) {
    EXPECT_NEAR(foil.Evaluate(x).thickness * fit.thickness.ymax,
                x == 0 ? 0.0 : 0.12 / 0.2 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x +
                                             0.2843 * x * x * x - 0.1015 * x * x * x * x) * 2,
                5e-5)
        << x;
  }
  try {
    FitSection(section, {81, "exact"});
    ADD_FAILURE() << "81 control points fitted";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Usage);
    EXPECT_STREQ(e.what(), "4 to 80 control points are allowed, not 81");
  }
}

// The count by tolerance searches up to 40 with the exact placement, and its
// fit is FitSection's for that count to the last bit.
TEST_F(AccuracyTest, FewestControlPointsUpToFortyWithTheExactPlacement) {
  const Section section = ImportCoordinates(file, {161, false});
  const CountChoice choice =
      FewestControlPoints(section, {2e-7, ErrorMeasure::Rms, "exact", kMostControlPoints});
  ASSERT_TRUE(choice.reached);
  EXPECT_GT(choice.control_points, 20);
  const Fit again = FitSection(section, {choice.control_points, "exact"});
  EXPECT_EQ(choice.fit.thickness.control, again.thickness.control);
  EXPECT_EQ(choice.fit.thickness.max_deviation, again.thickness.max_deviation);
  const Fit fewer = FitSection(section, {choice.control_points - 1, "exact"});
  EXPECT_GT(std::max(fewer.thickness.rms, fewer.camber.rms), 2e-7);
  // The window's range stops at 20, and says it did not reach the tolerance.
  const CountChoice window = FewestControlPoints(section, 2e-7, ErrorMeasure::Rms);
  EXPECT_FALSE(window.reached);
  EXPECT_LE(window.control_points, 20);
}

// The outline deviation is the distance of each given point from the fitted
// outline at the section's own size: against the nearest segment of that
// outline drawn as a dense polyline by de Boor's algorithm.
TEST_F(AccuracyTest, OutlineDeviationIsTheDistanceOfTheFilesPointsFromTheFittedOutline) {
  // NACA 2412's camber line added to the symmetric outline.
  std::string cambered = "NACA 0012 on a 2412 camber line\n";
  for (const std::string& line : [&] {
         std::vector<std::string> lines;
         std::istringstream in(test::Naca0012Outline());
         for (std::string l; std::getline(in, l);) lines.push_back(l);
         return std::vector<std::string>(lines.begin() + 1, lines.end());
       }()) {
    double x = 0, y = 0;
    std::istringstream(line) >> x >> y;
    const double c = x < 0.4 ? 0.02 / 0.16 * (0.8 * x - x * x) : 0.02 / 0.36 * (0.2 + 0.8 * x - x * x);
    char text[64];
    std::snprintf(text, sizeof text, "%.8f %.8f\n", x, y + c);
    cambered += text;
  }
  test::WriteBytes(dir.file("cambered.dat"), cambered);
  const ImportedSection imported = ImportOutline(dir.file("cambered.dat"), {81, false});
  for (int count : {6, 12}) {
    const Fit fit = FitSection(imported.section, {count, "exact"});
    const OutlineSize own = OwnSize(fit);
    constexpr int kSegments = 40000;
    double largest = -1, at = 0;
    bool upper = true;
    for (const bool side : {true, false}) {
      std::vector<std::pair<double, double>> drawn;
      for (int k = 0; k <= kSegments; ++k) {
        const double t = static_cast<double>(k) / kSegments;
        const double half = own.thickness * test::DeBoor(fit.thickness.control, t) / 2;
        drawn.emplace_back(test::DeBoor(fit.control_x, t),
                           own.camber * test::DeBoor(fit.camber.control, t) + (side ? half : -half));
      }
      for (const CoordinatePoint& p : side ? imported.upper : imported.lower) {
        double nearest = 1e300;
        for (std::size_t k = 1; k < drawn.size(); ++k) {
          const auto [ax, ay] = drawn[k - 1];
          const auto [bx, by] = drawn[k];
          const double len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
          const double u = len2 > 0 ? std::clamp(((p.x - ax) * (bx - ax) + (p.y - ay) * (by - ay)) / len2, 0.0, 1.0) : 0;
          nearest = std::min(nearest, std::hypot(ax + u * (bx - ax) - p.x, ay + u * (by - ay) - p.y));
        }
        if (nearest > largest) largest = nearest, at = p.x, upper = side;
      }
    }
    const OutlineDeviation d = OutlineDeviationOf(fit, imported);
    EXPECT_NEAR(d.deviation, largest, 2e-9) << count;
    EXPECT_EQ(d.x, at) << count;
    EXPECT_EQ(d.upper, upper) << count;
  }
  // The fewest control points whose outline is within the tolerance.
  const CountOptions options{1e-4, ErrorMeasure::OutlineDeviation, "exact", kMostControlPoints};
  const CountChoice choice = FewestControlPoints(imported, options);
  ASSERT_TRUE(choice.reached);
  EXPECT_LE(OutlineDeviationOf(choice.fit, imported).deviation, 1e-4);
  const Fit fewer = FitSection(imported.section, {choice.control_points - 1, "exact"});
  EXPECT_GT(OutlineDeviationOf(fewer, imported).deviation, 1e-4);
  // Without the outline there is nothing to measure.
  EXPECT_THROW(FewestControlPoints(imported.section, options), Error);
}

}  // namespace
}  // namespace tarvelo
