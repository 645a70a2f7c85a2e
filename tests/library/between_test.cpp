// What a fit does between its data points and at an outline's nose, where
// the errors at the data points say nothing: the between deviation against
// known curves, the count search that will not take a curve the data cannot
// carry, and the curvature sign changes a fitted nose adds.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "lib/between.h"
#include "lib/nose.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

// The clamped uniform knots of n cubic control points.
std::vector<double> Knots(int n) {
  std::vector<double> k(4, 0.0);
  for (int i = 1; i < n - 3; ++i) k.push_back(static_cast<double>(i) / (n - 3));
  k.insert(k.end(), 4, 1.0);
  return k;
}

// The control values of the cubic c0 + c1 t + c2 t^2 + c3 t^3 on those
// knots: its polar form at each function's three inner knots.
std::vector<double> CubicControl(int n, double c0, double c1, double c2, double c3) {
  const std::vector<double> k = Knots(n);
  std::vector<double> control;
  for (int j = 0; j < n; ++j) {
    const double a = k[j + 1], b = k[j + 2], c = k[j + 3];
    control.push_back(c0 + c1 * (a + b + c) / 3 + c2 * (a * b + a * c + b * c) / 3 + c3 * a * b * c);
  }
  return control;
}

// ---- the between deviation ----

// A fit that is the data's own cubic has no deviation anywhere; a control
// point lifted by 1 in the middle of a uniform span lifts the curve by 2/3
// at its centre knot, found there although no station lies near it; data at
// one chord position count as their mean, in any order.
TEST(BetweenPointsTest, TheLargestDeviationAnywhereAlongTheChord) {
  const int n = 10;  // knots 0, 1/7, ..., 1
  std::vector<double> x, y;
  for (int i = 0; i <= 12; ++i) {
    const double t = i / 12.0;
    x.push_back(t * t);
    y.push_back(0.3 * t - 0.2 * t * t + 0.05 * t * t * t);
  }
  const std::vector<double> knots = Knots(n);
  const Stray same = BetweenPoints(knots, CubicControl(n, 0, 0.3, -0.2, 0.05), x, y);
  EXPECT_LT(same.deviation, 1e-15);

  std::vector<double> zero(x.size(), 0.0), bump(static_cast<std::size_t>(n), 0.0);
  bump[4] = 1;  // B_4 peaks at its centre knot t = 3/7
  const Stray lifted = BetweenPoints(knots, bump, x, zero);
  EXPECT_NEAR(lifted.deviation, 2.0 / 3, 1e-15);
  EXPECT_NEAR(lifted.x, (3.0 / 7) * (3.0 / 7), 1e-15);

  // Twice the station x = 0.25, at 0.1 and 0.3: the mean 0.2 counts.
  const std::vector<double> px = {1, 0.25, 0, 0.25}, py = {0, 0.3, 0, 0.1};
  const std::vector<double> flat(static_cast<std::size_t>(n), 0.2);
  const Stray merged = BetweenPoints(knots, flat, px, py);
  EXPECT_NEAR(merged.deviation, 0.2, 1e-15);
  EXPECT_EQ(merged.x, 0.0);  // the first place where it is the largest
  // One data point: the deviation there.
  EXPECT_NEAR(BetweenPoints(knots, flat, std::vector<double>{0.5}, std::vector<double>{0.7}).deviation, 0.5,
              1e-15);
}

// Stations 1e-7 apart whose values are rounded to 1e-8, as a section file
// rounds them: the data's curve takes the neighbours at least an interval's
// width away, so the rounding stays a rounding instead of a slope off by 0.1
// carried over the next interval.
TEST(BetweenPointsTest, CloseStationsDoNotTurnTheirRoundingIntoASlope) {
  std::vector<double> x, y;
  for (int i = 0; i <= 20; ++i) {
    const double t = i / 20.0;
    for (const double dt : {0.0, 1e-7}) {
      if (i == 20 && dt > 0) continue;
      const double u = t + dt;
      x.push_back(u * u);
      y.push_back(std::round((0.4 * u - 0.1 * u * u) * 1e8 + (dt > 0 ? 0.5 : 0)) / 1e8);
    }
  }
  const int n = 12;
  const Stray stray = BetweenPoints(Knots(n), CubicControl(n, 0, 0.4, -0.1, 0), x, y);
  EXPECT_LT(stray.deviation, 2e-8);
}

// The data curve of an interval takes a neighbour exactly half the
// interval's width away and skips one a step closer; where one side has none,
// two on the other; where neither has one, the interval's ends alone.
TEST(BetweenPointsTest, TheDataCurveTakesNeighboursAtLeastHalfTheIntervalAway) {
  using N = std::vector<std::size_t>;
  const double closer = std::nextafter(0.5, 1.0), short25 = std::nextafter(2.5, 0.0);
  const struct {
    const char* what;
    std::vector<double> t;
    std::size_t j;
    N nodes;
  } rows[] = {
      {"left exactly half away", {0, 0.5, 1, 2, 3}, 2, {2, 3, 1, 4}},
      {"left a step closer", {0, closer, 1, 2, 3}, 2, {2, 3, 0, 4}},
      {"right exactly half away", {0, 1, 2, 2.5, 3}, 1, {1, 2, 0, 3}},
      {"right a step closer", {0, 1, 2, short25, 3}, 1, {1, 2, 0, 4}},
      {"none on the left: two on the right", {0, 1, 2, 3}, 0, {0, 1, 2, 3}},
      {"none on the right: two on the left", {0, 1, 2, 3}, 2, {2, 3, 1, 0}},
      {"the only neighbour too close", {0.9, 1, 2}, 1, {1, 2}},
      {"two nodes", {0, 1}, 0, {0, 1}},
  };
  for (const auto& r : rows) EXPECT_EQ(DataCurveNodes(r.t, r.j), r.nodes) << r.what;
}

// ---- the count search ----

// The data carry a fit whose curves lie between the data points no farther
// from the data's curve than the tolerance or ten times their own largest
// deviation at the data points, whichever is larger: the limit met exactly,
// and one step beyond, on either curve.
TEST(CountSearchTest, TheDataCarryACurveUpToTheLimitOfItsStray) {
  const double tol = std::ldexp(1.0, -20), own = std::ldexp(1.0, -16), big = std::ldexp(1.0, -10);
  const double tenOwn = 10 * own;  // exact: 10 * 2^-16
  const auto beyond = [](double v) { return std::nextafter(v, 1.0); };
  const struct {
    const char* what;
    double tolerance, thickness_max, thickness_between, camber_max, camber_between;
    bool carried;
  } rows[] = {
      {"ten times its own deviation", tol, own, tenOwn, 0, 0, true},
      {"a step beyond it", tol, own, beyond(tenOwn), 0, 0, false},
      {"the tolerance, above ten times its own", big, own, big, 0, 0, true},
      {"a step beyond the tolerance", big, own, beyond(big), 0, 0, false},
      {"the camber at its limit", tol, 0, 0, own, tenOwn, true},
      {"the camber a step beyond", tol, own, 0, own, beyond(tenOwn), false},
      {"neither strays", tol, 0, 0, 0, 0, true},
  };
  for (const auto& r : rows) {
    Fit fit;
    fit.thickness.max_deviation = r.thickness_max;
    fit.thickness.between_deviation = r.thickness_between;
    fit.camber.max_deviation = r.camber_max;
    fit.camber.between_deviation = r.camber_between;
    EXPECT_EQ(StrayRatio(fit, r.tolerance) <= 1, r.carried) << r.what << ": " << StrayRatio(fit, r.tolerance);
  }
}

// A tolerance met exactly by a count's error is reached with it; a step below,
// that count no longer reaches it.
TEST(CountSearchTest, ATolerancePassedExactlyIsReachedAndAStepBelowIsNot) {
  const Section section = NacaSection("0012", {});
  for (const ErrorMeasure measure : {ErrorMeasure::Rms, ErrorMeasure::MaxDeviation}) {
    const CountChoice first = FewestControlPoints(section, {1e-5, measure, "exact", 40});
    ASSERT_TRUE(first.reached);
    const CountChoice exact = FewestControlPoints(section, {first.error, measure, "exact", 40});
    EXPECT_TRUE(exact.reached);
    EXPECT_EQ(exact.control_points, first.control_points);
    const CountChoice below = FewestControlPoints(section, {std::nextafter(first.error, 0.0), measure, "exact", 40});
    EXPECT_TRUE(!below.reached || below.control_points > first.control_points);
  }
}

// The 40-point NACA 4412 file with a tolerance of 1e-9: the counts that pass
// through its points within it swing off between them. The count chosen has
// the section's thickness and camber within 1 %.
TEST(CountSearchTest, ATightToleranceOnAFortyPointFileKeepsTheSectionsThicknessAndCamber) {
  const Section section = ReadSection(test::ExamplePath("naca4412-40pt.dat"));
  const CountChoice choice = FewestControlPoints(section, {1e-9, ErrorMeasure::Rms, "exact", 40});
  EXPECT_FALSE(choice.reached);
  EXPECT_TRUE(choice.carried);
  const OutlineProperties p = SectionProperties(FoilSplineOf(choice.fit), OwnSize(choice.fit));
  EXPECT_NEAR(p.max_thickness, 0.12, 0.0012);
  EXPECT_NEAR(p.max_camber, 0.04, 0.0004);
}

// NACA 0012 at 41 stations: counts from 28 on pass through every station
// within 2e-8 and swing off between them, a largest thickness of several
// chords. None is reached; the count chosen is the best the data carry, its
// largest thickness that of the section within 1 %.
TEST(CountSearchTest, ACountWhoseCurvesSwingBetweenTheStationsIsNeverReached) {
  const Section section = NacaSection("0012", {});
  const CountChoice choice = FewestControlPoints(section, {2e-8, ErrorMeasure::Rms, "exact", 40});
  EXPECT_FALSE(choice.reached);
  EXPECT_TRUE(choice.carried);
  const double thickest = SectionProperties(FoilSplineOf(choice.fit), OwnSize(choice.fit)).max_thickness;
  EXPECT_NEAR(thickest, 0.12, 0.0012);
  EXPECT_EQ(choice.error, choice.fit.thickness.rms);
  EXPECT_LE(choice.fit.thickness.between_deviation, kStrayFactor * choice.fit.thickness.max_deviation);
  // Every count the data carry has no better error, and every count with a
  // better one strays: none below 2e-8 is carried.
  for (int count = 4; count <= 40; ++count) {
    const Fit fit = FitSection(section, {count, "exact"});
    const double allowed = std::max(2e-8, kStrayFactor * fit.thickness.max_deviation);
    if (fit.thickness.rms < choice.error) {
      EXPECT_GT(fit.thickness.between_deviation, allowed) << count;
    } else if (fit.thickness.between_deviation <= allowed) {
      EXPECT_GE(fit.thickness.rms, choice.error) << count;
    }
  }
  // The count that passed for reached: within 2e-8 R.M.S. at the stations,
  // more than a chord thick between them.
  const Fit wild = FitSection(section, {38, "exact"});
  EXPECT_LE(wild.thickness.rms, 2e-8);
  EXPECT_GT(wild.thickness.between_deviation, 1);
  EXPECT_GT(SectionProperties(FoilSplineOf(wild), OwnSize(wild)).max_thickness, 1);
  // Fitted as the window takes it, 4 to 20: reached at the fairness limit.
  const CountChoice fair = FewestControlPoints(section, kFairnessLimit, ErrorMeasure::Rms);
  EXPECT_TRUE(fair.reached && fair.carried);
  EXPECT_EQ(fair.error, std::max(fair.fit.thickness.rms, fair.fit.camber.rms));
}

// When no count is carried, the one that strays least: five data points
// with 4 control points, the one count there is, whatever it does.
TEST(CountSearchTest, WhereNoCountIsCarriedTheOneThatStraysLeast) {
  Section five{"five", {0, 0.0625, 0.25, 0.5625, 1}, {0, 0.05, 0.03, 0.07, 0.001}, {0, 0, 0, 0, 0}};
  const CountChoice choice = FewestControlPoints(five, {1e-300, ErrorMeasure::MaxDeviation, "exact", 4});
  EXPECT_FALSE(choice.reached);
  EXPECT_EQ(choice.control_points, 4);
  const bool carried = choice.fit.thickness.between_deviation <= kStrayFactor * choice.fit.thickness.max_deviation;
  EXPECT_EQ(choice.carried, carried);
}

// ---- the nose ----

// Each fitted change answered by the nearest unanswered data change on its
// own surface; the rest are added.
TEST(NoseTest, FittedCurvatureChangesAreAnsweredByTheDatasOnTheirSurface) {
  using C = std::vector<CurvatureChange>;
  const struct {
    const char* what;
    C fitted, data, added;
  } rows[] = {
      {"none", {}, {}, {}},
      {"one answered", {{0.004, true}}, {{0.005, true}}, {}},
      {"one on the other surface", {{0.004, true}}, {{0.004, false}}, {{0.004, true}}},
      {"two for one: the nearer answered", {{0.004, false}, {0.012, false}}, {{0.011, false}}, {{0.004, false}}},
      {"the data's alone are not the fit's doing", {}, {{0.01, true}}, {}},
  };
  for (const auto& r : rows) {
    const C added = AddedInflections(r.fitted, r.data);
    ASSERT_EQ(added.size(), r.added.size()) << r.what;
    for (std::size_t i = 0; i < added.size(); ++i) {
      EXPECT_EQ(added[i].x, r.added[i].x) << r.what;
      EXPECT_EQ(added[i].upper, r.added[i].upper) << r.what;
    }
  }
}

// The curvature sign of the fitted outline sampled a hundred thousand times
// per surface within 2 % of the chord, by differences of de Boor's values:
// NACA 0012 at 41 stations with 29 control points bends back and forth near
// its nose, symmetrically, where the file's outline does not; 12 control
// points keep its shape.
TEST(NoseTest, TheCurvatureSignChangesOfAFittedNoseAreFoundAndSaid) {
  test::TempDir dir;
  test::WriteBytes(dir.file("n.dat"), test::Naca0012Outline());
  const ImportedSection imported = ImportOutline(dir.file("n.dat"), {41, false});
  EXPECT_TRUE(imported.nose_inflections.empty());
  for (const int count : {29, 12}) {
    const Fit fit = FitSection(imported.section, {count, "exact"});
    const OutlineSize own = OwnSize(fit);
    std::vector<CurvatureChange> sampled;
    for (const bool upper : {true, false}) {
      const auto at = [&](double t) {
        const double half = own.thickness * test::DeBoor(fit.thickness.control, t) / 2;
        return std::pair(test::DeBoor(fit.control_x, t), (upper ? half : -half));
      };
      int last = 0;
      const double h = 1e-6;
      for (int i = 1; i <= 100000; ++i) {
        const double t = std::sqrt(kNoseChord) * i / 100000;
        const auto [x0, y0] = at(t - h);
        const auto [x1, y1] = at(t);
        const auto [x2, y2] = at(t + h);
        const double bend = (x2 - x0) * (y2 - 2 * y1 + y0) - (y2 - y0) * (x2 - 2 * x1 + x0);
        const int sign = bend > 0 ? 1 : bend < 0 ? -1 : 0;
        if (last != 0 && sign != 0 && sign != last) sampled.push_back({x1, upper});
        if (sign != 0) last = sign;
      }
    }
    const NoseCheck nose = CheckNose(fit, imported);
    ASSERT_EQ(nose.added.size(), sampled.size()) << count;
    for (std::size_t i = 0; i < sampled.size(); ++i) {
      EXPECT_NEAR(nose.added[i].x, sampled[i].x, 2e-6) << count << " " << i;
      EXPECT_EQ(nose.added[i].upper, sampled[i].upper) << count << " " << i;
    }
    EXPECT_EQ(sampled.empty(), count == 12);
    if (count == 29) {
      ASSERT_EQ(sampled.size() % 2, 0u);
      for (std::size_t i = 0; i < sampled.size() / 2; ++i)
        EXPECT_NEAR(nose.added[i].x, nose.added[i + sampled.size() / 2].x, 1e-12);
    }
    EXPECT_EQ(nose.data_le_radius, imported.le_radius);
    EXPECT_EQ(nose.le_radius, SectionProperties(FoilSplineOf(fit), own).le_radius);
  }
}

// The nose radius is kept within 1.5 times either way, the limit itself
// included (1.5 * 2^-7 is exact).
TEST(NoseTest, ANoseRadiusWithinOneAndAHalfTimesTheDatasIsKept) {
  const struct {
    double fitted, data;
    bool kept;
  } rows[] = {{0.01171875, 0.0078125, true},  {std::nextafter(0.01171875, 1.0), 0.0078125, false},
              {0.0078125, 0.01171875, true},  {0.0078125, std::nextafter(0.01171875, 1.0), false},
              {0.01, 0.01, true},             {0, 0.01, false}};
  for (const auto& r : rows) {
    NoseCheck nose;
    nose.le_radius = r.fitted;
    nose.data_le_radius = r.data;
    EXPECT_EQ(NoseRadiusKept(nose), r.kept) << r.fitted << " " << r.data;
  }
}

}  // namespace
}  // namespace tarvelo
