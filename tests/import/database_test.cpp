// Seventeen outlines of the kinds a section collection holds, taken from
// coordinates to a fit and back, as a designer checks them: every file
// imports, every change of frame and every repair is said, and the fitted
// outline lies within 1e-4 of the chord of every point of the file wherever
// the file's own points allow it.
#include <gtest/gtest.h>
#include <tarvelo/tarvelo.h>

#include <cmath>
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

struct Outline {
  const char* name;
  Points points;
  bool kept;            // the file's frame is its own
  std::string warning;  // how the first warning begins, "" for none
  // Where the file's points do not allow 1e-4: why, "" where they do.
  std::string limit;
};

std::vector<Outline> Collection() {
  const Naca n0012{0, 0, 0.12}, n2412{0.02, 0.4, 0.12}, n4412{0.04, 0.4, 0.12}, n6409{0.06, 0.4, 0.09};
  const Naca thin{0.02, 0.3, 0.06}, thick{0.02, 0.4, 0.21}, closed{0.02, 0.4, 0.12, true};
  const auto reflexed = FromCurves([](double x) { return Naca{0, 0, 0.10}.Half(x); },
                                   [](double x) { return 0.025 * x * (1 - x) * (1 - 1.6 * x) * 1.8; });
  const auto highLift = test::NacaSurfaces({0.09, 0.5, 0.12}, 81);
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
      {"NACA 2412", test::Selig(test::NacaSurfaces(n2412, 81)), true, "", ""},
      {"NACA 4412", test::Selig(test::NacaSurfaces(n4412, 81)), true, "", ""},
      {"NACA 6409", test::Selig(test::NacaSurfaces(n6409, 81)), true, "", ""},
      {"thin 2306", test::Selig(test::NacaSurfaces(thin, 81)), true, "", ""},
      {"thick 2421", test::Selig(test::NacaSurfaces(thick, 81)), true, "", ""},
      {"closed 2412", test::Selig(test::NacaSurfaces(closed, 81)), true, "", ""},
      {"lower first", test::Selig(test::NacaSurfaces(n2412, 81), true), true, "", ""},
      {"reflexed", test::Selig(reflexed), true, "", ""},
      {"high lift", test::Selig(highLift), true, "", ""},
      {"Clark Y-like", test::Selig(clark), true, "The lower surface ends",
       "the straight continuation of the short surface meets it at a corner no spline follows"},
      {"E205-like", test::Selig(e205), true, "The lower surface ends",
       "the same corner, at x = 0.9965, where a knot span near the trailing edge is 5 % of the chord"},
      {"blunt", test::Selig(blunt), true, "", ""},
      {"crossed", test::Selig(crossed), true, "The surfaces cross", ""},
      {"turned AG 35-like", test::Placed(test::Selig(test::NacaSurfaces(n2412, 81)), 1, 1.56, 0, 0), false, "", ""},
      {"flap element", test::Placed(test::Selig(test::NacaSurfaces(n4412, 81)), 0.35, -3, 0.65, 0), false, "", ""},
      {"upside down", UpsideDown(test::Selig(test::NacaSurfaces(n4412, 81))), true, "", ""},
  };
}

TEST(DatabaseTrialTest, SeventeenOutlinesImportFitAndComeBackWithinTheirDeviation) {
  const std::vector<Outline> collection = Collection();
  ASSERT_EQ(collection.size(), 17u);
  for (const Outline& o : collection) {
    SCOPED_TRACE(o.name);
    const ImportedSection imported = ImportOutline(Coordinates{o.name, o.points}, {161, false});
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
    if (o.limit.empty()) {
      EXPECT_LE(d.deviation, 1e-4);
    }
    // The outline at the section's own size is the file's: the same side up.
    const FoilSpline foil = FoilSplineOf(choice.fit);
    const double mid = foil.Evaluate(0.5).camber * OwnSize(choice.fit).camber;
    EXPECT_EQ(mid < 0, std::string(o.name) == "upside down") << mid;
  }
}

}  // namespace
}  // namespace tarvelo
