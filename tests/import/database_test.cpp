// Seventeen outlines of the kinds a section collection holds, taken from
// coordinates to a fit and back as the plain command does it (the stations
// the file's points need, the exact placement, up to 80 control points, the
// fewest whose outline lies within 1e-4 of the chord of the file's points
// and between them), and checked as a designer checks them: every file
// imports, every change of frame and every repair is said, the fitted nose
// has the shape of the curve through the file's points, and the outline is
// within 1e-4 wherever the file's own points allow it.
#include <gtest/gtest.h>
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "import/outlines.h"

namespace tarvelo {
namespace {

using test::Naca;
using test::Points;
using test::Surfaces;

// Surfaces from a thickness and a camber line at cosine-spaced x.
Surfaces FromCurves(const std::function<double(double)>& half, const std::function<double(double)>& mean,
                    int points = 81) {
  Surfaces s;
  for (int i = 0; i < points; ++i) {
    const double x = test::Cosine(i, points);
    s.upper.push_back({x, mean(x) + half(x)});
    s.lower.push_back({x, mean(x) - half(x)});
  }
  return s;
}

Points UpsideDown(Points p) {
  for (CoordinatePoint& q : p) q.y = -q.y;
  return {p.rbegin(), p.rend()};  // still round the outline the same way
}

// Rounded to the six decimals database files give.
Points Rounded(Points p) {
  for (CoordinatePoint& q : p) q = {std::round(q.x * 1e6) / 1e6, std::round(q.y * 1e6) / 1e6};
  return p;
}

// A section published with its thickness across a four-digit mean line and
// scaled to span x = 0..1, with a point at (0, 0) and none ahead of it: its
// stations near the nose are few, and the curve through its points reaches
// ahead of x = 0 between (0, 0) and the upper surface's first point.
Points AcrossTable(const Naca& n, const std::vector<double>& stations) {
  Points p = test::Selig(test::AcrossSurfaces([&](double x) { return n.Half(x); },
                                              [&](double x) { return n.Mean(x); },
                                              [&](double x) { return n.Slope(x); }, stations));
  double most = 0;
  for (const CoordinatePoint& q : p) most = std::max(most, q.x);
  for (CoordinatePoint& q : p) q.x /= most;
  return Rounded(p);
}

// 0 and the cosine-spaced stations of `count` from the `skip`-th on.
std::vector<double> SparseNose(int count, int skip) {
  std::vector<double> x{0};
  for (int i = skip; i < count; ++i) x.push_back(test::Cosine(i, count));
  return x;
}

struct Outline {
  const char* name;
  Points points;
  bool kept;            // the file's frame is its own
  std::string warning;  // how the first warning begins, "" for none
  // Where the file's points do not allow 1e-4: why, "" where they do.
  std::string limit;
};

std::vector<Outline> Collection() {
  const Naca n0012{0, 0, 0.12}, n2412{0.02, 0.4, 0.12}, n4412{0.04, 0.4, 0.12};
  const Naca thin{0.02, 0.3, 0.06}, thick{0.02, 0.4, 0.21}, closed{0.02, 0.4, 0.12, true};
  const auto reflexed = FromCurves([](double x) { return Naca{0, 0, 0.10}.Half(x); },
                                   [](double x) { return 0.025 * x * (1 - x) * (1 - 1.6 * x) * 1.8; });
  Surfaces clark = test::NacaSurfaces({0.035, 0.3, 0.117}, 81);
  while (clark.lower.back().x > 0.95) clark.lower.pop_back();
  Surfaces e205 = test::NacaSurfaces({0.025, 0.35, 0.105}, 81);
  while (e205.lower.back().x > 0.9965) e205.lower.pop_back();
  // A blunt trailing edge: both surfaces end near x = 1, 2.5e-3 apart.
  const Surfaces blunt = test::NacaSurfaces({0.02, 0.15, 0.12}, 81);
  // Surfaces that cross just ahead of the trailing edge.
  Surfaces crossed = test::NacaSurfaces({0.06, 0.5, 0.12, true}, 81);
  for (CoordinatePoint& p : crossed.lower)
    if (p.x > 0.998) p.y += 0.02 * (p.x - 0.998);
  return {
      {"NACA 0012", test::Selig(test::NacaSurfaces(n0012, 81)), true, "", ""},
      // Noses 0.048 %, 0.14 %, 0.041 % and 0.015 % of the chord ahead of x = 0.
      {"NACA 23012 as tabled", Rounded(test::Selig(test::Naca23012Table())), false, "", ""},
      {"GOE 398-like", AcrossTable({0.06, 0.3, 0.15}, test::TableStations()), false, "", ""},
      {"FX 63-137-like", AcrossTable({0.06, 0.5, 0.137}, SparseNose(61, 6)), false, "", ""},
      {"DU 84-132V-like", AcrossTable({0.03, 0.4, 0.132}, SparseNose(61, 6)), false, "", ""},
      {"thin 2306", test::Selig(test::NacaSurfaces(thin, 81)), true, "", ""},
      {"thick 2421", test::Selig(test::NacaSurfaces(thick, 81)), true, "", ""},
      {"closed 2412", test::Selig(test::NacaSurfaces(closed, 81)), true, "", ""},
      {"lower first", test::Selig(test::NacaSurfaces(n2412, 81), true), true, "", ""},
      {"reflexed", test::Selig(reflexed), true, "", ""},
      {"Clark Y-like", test::Selig(clark), true, "The lower surface ends", ""},
      {"E205-like", test::Selig(e205), true, "The lower surface ends",
       "the straight continuation of the surface cut at x = 0.9965 meets it at a corner that no cubic "
       "follows within 1e-4 in the last knot span, 2.6 % of the chord at 80 control points"},
      {"blunt", test::Selig(blunt), true, "", ""},
      {"crossed", test::Selig(crossed), true, "The surfaces cross", ""},
      {"turned AG 35-like", test::Placed(test::Selig(test::NacaSurfaces(n2412, 81)), 1, 1.56, 0, 0), false, "", ""},
      {"flap element", test::Placed(test::Selig(test::NacaSurfaces(n4412, 81)), 0.35, -3, 0.65, 0), false, "", ""},
      {"upside down", UpsideDown(test::Selig(test::NacaSurfaces(n4412, 81))), true, "", ""},
  };
}

TEST(DatabaseTrialTest, SeventeenOutlinesImportFitAndComeBackWithTheirNoseAndWithinTheirDeviation) {
  const std::vector<Outline> collection = Collection();
  ASSERT_EQ(collection.size(), 17u);
  ImportOptions plain;
  plain.at_every_point = true;
  plain.stations = 161;
  int reached = 0;
  for (const Outline& o : collection) {
    SCOPED_TRACE(o.name);
    const ImportedSection imported = ImportOutline(Coordinates{o.name, o.points}, plain);
    EXPECT_EQ(imported.transform.frame == ImportFrame::Kept, o.kept);
    if (!o.kept) {
      EXPECT_NE(imported.section.id_line.find(" ["), std::string::npos) << imported.section.id_line;
    }
    EXPECT_EQ(imported.warnings.empty(), o.warning.empty());
    if (!o.warning.empty() && !imported.warnings.empty()) {
      EXPECT_EQ(imported.warnings.front().rfind(o.warning, 0), 0u) << imported.warnings.front();
    }

    const CountChoice choice = FewestControlPoints(
        imported, {1e-4, ErrorMeasure::OutlineDeviation, "exact", kMostControlPoints});
    const OutlineDeviation d = OutlineDeviationOf(choice.fit, imported);
    EXPECT_EQ(choice.reached, o.limit.empty()) << d.deviation << " at " << d.x << " with "
                                               << choice.control_points;
    EXPECT_EQ(choice.error, std::max(d.deviation, d.between));
    if (o.limit.empty()) {
      ++reached;
      EXPECT_LE(std::max(d.deviation, d.between), 1e-4);
    }
    // The nose the curve through the file's points has: its radius within
    // 0.67 to 1.5 of that curve's, no bend of its own, and within 1.5e-4 of
    // that curve between the file's points.
    ASSERT_TRUE(choice.nose.has_value());
    const NoseCheck& nose = *choice.nose;
    EXPECT_TRUE(NoseRadiusKept(nose)) << nose.le_radius << " against " << nose.data_le_radius;
    EXPECT_GT(nose.le_radius, nose.data_le_radius / 1.5);
    EXPECT_LT(nose.le_radius, nose.data_le_radius * 1.5);
    EXPECT_TRUE(nose.added.empty()) << nose.added.size() << " added, the first at " << nose.added.front().x;
    EXPECT_LE(nose.between, 1.5e-4);
    // The outline at the section's own size is the file's: the same side up.
    const FoilSpline foil = FoilSplineOf(choice.fit);
    const double mid = foil.Evaluate(0.5).camber * OwnSize(choice.fit).camber;
    EXPECT_EQ(mid < 0, std::string(o.name) == "upside down") << mid;
    // The trial's figures, for whoever reads the log.
    std::printf("%-22s %2d cp  error %.3g %s  nose radius %.3f of the file's  %zu added  between %.3g\n", o.name,
                choice.control_points, choice.error, choice.reached ? "reached" : "NOT reached",
                nose.le_radius / nose.data_le_radius, nose.added.size(), nose.between);
  }
  EXPECT_GE(reached, 14);
}

}  // namespace
}  // namespace tarvelo
