// The import's limits seen from outside, each met exactly and one step
// beyond: where the surfaces may cross, how far a surface may step back, the
// smallest outline, the station counts, the counts of a Lednicer file; and
// an outline too small or too far out to place on the chord.
#include <gtest/gtest.h>
#include <tarvelo/tarvelo.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "import/outlines.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Points;

// The import's refusal as its kind and what it shows, or "imported".
std::string Refusal(const std::function<void()>& import) {
  try {
    import();
  } catch (const Error& e) {
    return std::string(ErrorKindName(e.kind())) + ": " + e.what();
  }
  return "imported";
}

// Both surfaces at the same chord positions, in the outline's own frame:
// thickness is then looked at on the points themselves. From `crossing` on
// the upper surface lies below the lower one. The points next to the nose lie
// across from each other, so that the curve keeps its nose at (0, 0).
Points Crossing(double crossing) {
  const double x[] = {0, 0.02, 0.1, 0.3, 0.6, 0.9, 0.97, crossing, 1};
  const double upper[] = {0, 0.03, 0.06, 0.08, 0.06, 0.02, 0.008, -0.001, -0.002};
  const double lower[] = {0, -0.03, -0.04, -0.05, -0.04, -0.015, -0.006, 0.001, 0.002};
  Points p;
  for (int i = 8; i >= 0; --i) p.push_back({x[i], upper[i]});
  for (int i = 1; i <= 8; ++i) p.push_back({x[i], lower[i]});
  return p;
}

// The stations are few, so that none lies near the crossing: it is found at
// the point where it starts.
TEST(ImportLimitsTest, SurfacesMayCrossFrom99PercentOfTheChordOn) {
  const std::string said = "The surfaces cross at ";
  const std::string down = " % of the chord: the thickness goes down to -0.4000 % of the chord at 100.00 %";
  const struct {
    double at;
    std::string result;
  } rows[] = {
      {0.99, said + "99.00" + down},
      {std::nextafter(0.99, 0.0), "bad_data: cross: the surfaces cross at 99.00 % of the chord"},
      {0.985, "bad_data: cross: the surfaces cross at 98.50 % of the chord"},
      {0.995, said + "99.50" + down},
      {0.9999, said + "99.99" + down},
  };
  for (const auto& r : rows) {
    std::string result;
    const std::string refusal = Refusal([&] {
      const ImportedSection imported = ImportOutline(Coordinates{"cross", Crossing(r.at)}, {5, false});
      ASSERT_EQ(imported.warnings.size(), 1u);
      result = imported.warnings[0];
      EXPECT_EQ(imported.section.thickness.back(), -0.004) << r.at;
    });
    EXPECT_EQ(refusal == "imported" ? result : refusal, r.result) << r.at;
  }
}

// A step back of 1e-6 of the chord is a rounding; beyond it, a surface
// turning back. The point after 0.6 is moved back behind it: point 4 on the
// upper surface (listed from the trailing edge), 14 on the lower.
TEST(ImportLimitsTest, ASurfaceMayStepBack1e6OfTheChord) {
  const double back = 0.6 - 1e-6;
  const std::string turns = "bad_data: back: a surface turns back in the chord direction in point ";
  const struct {
    std::size_t point;
    double x;
    std::string result;
  } rows[] = {
      {4, back, "imported"},
      {4, std::nextafter(back, 0.0), turns + "4"},
      {14, back, "imported"},
      {14, std::nextafter(back, 0.0), turns + "14"},
  };
  for (const auto& r : rows) {
    Points p = Crossing(0.985);
    p[0] = p[16] = {1, 0};  // no crossing
    p[1].y = 0.004, p[15].y = -0.003;
    p[3] = {0.6, 0.059}, p[13] = {0.6, -0.039};
    p[r.point - 1].x = r.x;
    EXPECT_EQ(Refusal([&] { ImportOutline(Coordinates{"back", p}, {5, false}); }), r.result) << r.point;
  }
}

// Nine points, five a surface with the leading edge's point shared.
Points Nine() {
  return {{1, 0},     {0.6, 0.06},  {0.3, 0.07},  {0.1, 0.05}, {0, 0},
          {0.1, -0.04}, {0.3, -0.05}, {0.6, -0.04}, {1, 0}};
}

TEST(ImportLimitsTest, TheSmallestOutlineIsNinePointsFiveASurface) {
  Points eight = Nine();
  eight.erase(eight.begin() + 6);
  Points fourFirst = Nine();  // the leading edge the fourth point
  fourFirst.erase(fourFirst.begin() + 1);
  fourFirst.insert(fourFirst.begin() + 5, {0.2, -0.045});
  const Points nine = Nine();
  const Points fourLast(fourFirst.rbegin(), fourFirst.rend());
  const std::string few = "bad_data: few: a surface has fewer than 5 points";
  const struct {
    const char* what;
    Points points;
    std::string result;
  } rows[] = {
      {"nine", nine, "imported"},
      {"eight", eight, few},
      {"four first", fourFirst, few},
      {"four last", fourLast, few},
  };
  for (const auto& r : rows)
    EXPECT_EQ(Refusal([&] { ImportOutline(Coordinates{"few", r.points}); }), r.result) << r.what;
}

// The count is checked by every way in, before the outline is read; at-file
// stations take no count.
TEST(ImportLimitsTest, FiveTo401StationsByEveryWayIn) {
  test::TempDir dir;
  const std::string file = dir.file("nine.dat");
  test::WriteBytes(file, test::SeligText("nine", Nine()));
  const std::string text = test::SeligText("nine", Nine());
  const std::function<ImportedSection(const ImportOptions&)> ways[] = {
      [&](const ImportOptions& o) { return ImportOutline(file, o); },
      [&](const ImportOptions& o) { return ImportOutlineText(text, "nine.dat", o); },
      [&](const ImportOptions& o) { return ImportOutline(Coordinates{"nine", Nine()}, o); },
  };
  const std::string refused = "usage: 5 to 401 stations are allowed";
  for (const auto& way : ways) {
    for (const int count : {5, 401}) EXPECT_EQ(way({count, false}).section.points(), static_cast<std::size_t>(count));
    for (const int count : {4, 402, 0, -1})
      EXPECT_EQ(Refusal([&] { way({count, false}); }), refused) << count;
    EXPECT_EQ(way({4, true}).section.points(), 5u);
  }
}

// Round the outline either way: the same section, the same surfaces.
// Listed the other way the chord lengths are summed from the other end:
// the values agree to their roundings, 1e-15 of the chord.
TEST(ImportLimitsTest, ClockwiseAndCounterclockwiseListingsGiveTheSameSection) {
  const test::Surfaces s = test::NacaSurfaces({0.02, 0.4, 0.12}, 61);
  for (const double degrees : {0.0, 10.0}) {
    const Points ccw = test::Placed(test::Selig(s), 1, degrees, 0, 0);
    const Points cw(ccw.rbegin(), ccw.rend());
    const ImportedSection a = ImportOutline(Coordinates{"a", ccw});
    const ImportedSection b = ImportOutline(Coordinates{"a", cw});
    ASSERT_EQ(a.section.points(), b.section.points());
    for (std::size_t i = 0; i < a.section.points(); ++i) {
      EXPECT_NEAR(a.section.thickness[i], b.section.thickness[i], 1e-15) << degrees;
      EXPECT_NEAR(a.section.camber[i], b.section.camber[i], 1e-15) << degrees;
    }
    EXPECT_NEAR(a.transform.angle_deg, b.transform.angle_deg, 1e-12) << degrees;
  }
  // In its own frame the surfaces are the file's points, whichever way round.
  const ImportedSection a = ImportOutline(Coordinates{"a", test::Selig(s)});
  const ImportedSection b = ImportOutline(Coordinates{"a", test::Selig(s, true)});
  const auto text = [](const Points& points) { return test::SeligText("", points); };
  EXPECT_EQ(text(a.upper), text(s.upper));
  EXPECT_EQ(text(a.lower), text(s.lower));
  EXPECT_EQ(text(b.upper), text(s.upper));
  EXPECT_EQ(text(b.lower), text(s.lower));
}

// The counts line of a Lednicer file: at least 1 point to a surface, adding
// up to the points that follow. Five to a surface, the leading edge's point
// listed in both, make the smallest outline: the nine points of a Selig file.
TEST(ImportLimitsTest, ALednicerFileCountsAtLeastOnePointASurface) {
  const std::string upper[] = {"0 0", "0.1 0.05", "0.3 0.07", "0.6 0.06", "1 0"};
  const std::string lower[] = {"0 0", "0.1 -0.04", "0.3 -0.05", "0.6 -0.04", "1 0"};
  const auto surface = [](const std::string(&points)[5], int skip) {
    std::string text = "\n";
    for (int i = 0; i < 5; ++i)
      if (i != skip) text += points[i] + "\n";
    return text;
  };
  const std::string neither = "bad_data: counts.dat: not a Selig or Lednicer coordinate file: line 2 ";
  const std::string few = "bad_data: counts.dat: a surface has fewer than 5 points";
  const struct {
    std::string counts_and_points, result;
  } rows[] = {
      {"5 5\n" + surface(upper, -1) + surface(lower, -1), "imported"},
      {"5. 5.\n" + surface(upper, -1) + surface(lower, -1), "imported"},
      {"4 5\n" + surface(upper, 3) + surface(lower, -1), few},
      {"5 4\n" + surface(upper, -1) + surface(lower, 3), few},
      {"1 1\n0 0\n1 0\n", few},
      {"0 3\n0 0\n0.5 -0.05\n1 0\n", neither + "gives point counts below 1: 0 3"},
      {"3 0\n0 0\n0.5 0.05\n1 0\n", neither + "gives point counts below 1: 3 0"},
      {"0 10\n" + surface(upper, -1) + surface(lower, -1), neither + "gives point counts below 1: 0 10"},
      {"5 6\n" + surface(upper, -1) + surface(lower, -1), neither + "counts 11 points but 10 follow"},
  };
  const ImportedSection selig = ImportOutline(Coordinates{"counts", Nine()});
  for (const auto& r : rows) {
    const std::string text = "counts\n" + r.counts_and_points;
    EXPECT_EQ(Refusal([&] { ImportOutlineText(text, "counts.dat"); }), r.result) << r.counts_and_points;
    if (r.result == "imported") {
      const ImportedSection lednicer = ImportOutlineText(text, "counts.dat");
      EXPECT_EQ(lednicer.section.thickness, selig.section.thickness);
      EXPECT_EQ(lednicer.section.camber, selig.section.camber);
    }
  }
}

// Coordinates around 1e-310 make an outline too small for its scale onto
// the chord to be a number: 2^-1023 is small enough, 2^-1025 too small.
// Points a little inside the largest numbers put the leading edge found
// ahead of them beyond it.
TEST(ImportLimitsTest, AnOutlineTooSmallOrTooFarOutToPlaceOnTheChordIsRefused) {
  const std::string corpus = std::string(TARVELO_IMPORT_DATA) + "/../../fuzz/corpus/import_coordinates_fuzz/";
  const std::string denormal = corpus + "denormal-outline.dat";
  EXPECT_EQ(Refusal([&] { ImportOutline(denormal); }),
            "bad_data: " + denormal + ": the outline is too small to scale onto the chord");
  EXPECT_EQ(Refusal([&] { ImportOutlineText(test::ReadBytes(denormal), "tiny.dat"); }),
            "bad_data: tiny.dat: the outline is too small to scale onto the chord");
  const auto scaled = [](double by) {
    Points p = Nine();
    for (CoordinatePoint& q : p) q = {q.x * by, q.y * by};
    return p;
  };
  const ImportedSection smallest = ImportOutline(Coordinates{"tiny", scaled(std::ldexp(1, -1023))});
  // The chord from the leading edge found on the curve, a little ahead of
  // the foremost point: within 1e-4 of the points' own.
  EXPECT_NEAR(std::ldexp(smallest.transform.scale, -1023), 1, 1e-4);
  EXPECT_EQ(Refusal([&] { ImportOutline(Coordinates{"tiny", scaled(std::ldexp(1, -1025))}); }),
            "bad_data: tiny: the outline is too small to scale onto the chord");

  const test::Naca n0012{0, 0, 0.12};
  test::Surfaces s = test::NacaSurfaces(n0012, 30);
  s.upper.erase(s.upper.begin());  // the leading edge between two points
  const Points nose = test::Selig(s);
  const double chord = std::ldexp(1, 1022), foremost = test::Cosine(1, 30);
  for (const double inside : {1e-3, 1e-4}) {
    Points far = nose;
    for (CoordinatePoint& q : far) q = {chord * (q.x - foremost) - DBL_MAX * (1 - inside), chord * q.y};
    const std::string result = Refusal([&] { ImportOutline(Coordinates{"far", far}); });
    EXPECT_EQ(result, inside == 1e-3 ? "imported"
                                     : "bad_data: far: the outline's leading edge lies beyond the largest number");
  }
}

}  // namespace
}  // namespace tarvelo
