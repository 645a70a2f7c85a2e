// Imports of outlines: sections built from formulas come back to 1e-5 of the
// chord however their outline is given; the frame is kept or its transform
// reported; trailing edges are repaired and said; files with the quirks of
// published ones agree with a decomposition written apart from the library;
// every refused outline gets the message naming its cause; one import gives
// one section by every path.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <sstream>
#include <vector>

#include "import/outlines.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Cosine;
using test::Naca;
using test::Points;
using test::ReadBytes;
using test::WriteBytes;
using Point = std::array<double, 2>;

ImportedSection Import(const test::TempDir& dir, const std::string& bytes, ImportOptions options = {}) {
  WriteBytes(dir.file("coords.dat"), bytes);
  return ImportOutline(dir.file("coords.dat"), options);
}

// How an outline is given: its layout and direction, and the similarity
// that places it (chord, angle, translation); the note its ID line gets.
struct Given {
  const char* what;
  Naca naca;
  int points = 61;  // per surface, cosine-spaced
  bool lednicer = false;
  bool lower_first = false;
  double chord = 1, degrees = 0, dx = 0, dy = 0;
  const char* note = "";  // after the name in the ID line
};

std::string FileOf(const Given& g) {
  test::Surfaces s = test::NacaSurfaces(g.naca, g.points);
  s.upper = test::Placed(s.upper, g.chord, g.degrees, g.dx, g.dy);
  s.lower = test::Placed(s.lower, g.chord, g.degrees, g.dx, g.dy);
  if (g.lednicer) {
    if (g.lower_first) std::swap(s.upper, s.lower);
    return test::LednicerText(g.what, s);
  }
  return test::SeligText(g.what, test::Selig(s, g.lower_first));
}

// A symmetric section has no camber at all: what is rounding noise in the
// file's frame is zero in the section.
TEST(ImportAccuracyTest, FormulaSectionsComeBackWithin1e5OfTheChordInTheirOwnFrameOrOneReported) {
  const Naca n0012{0, 0, 0.12}, n2412{0.02, 0.4, 0.12}, n4412{0.04, 0.4, 0.12}, n4409{0.04, 0.4, 0.09};
  const Given rows[] = {
      {"2412", n2412},
      {"4412", n4412},
      {"4412 closed", {0.04, 0.4, 0.12, true}},
      {"4409 121 points", n4409, 121},
      {"4412 other way", n4412, 61, false, true},
      {"4412 Lednicer", n4412, 61, true},
      {"4412 Lednicer other way", n4412, 61, true, true},
      {"4412 chord 0.1, 10 degrees", n4412, 61, false, false, 0.1, 10, -3, 7, " [scaled 10, turned 10.00 deg]"},
      {"4412 chord 1000, -10 degrees", n4412, 61, false, true, 1000, -10, 250, -4e3,
       " [scaled 0.001, turned -10.00 deg]"},
      {"2412 Lednicer chord 25, 4 degrees", n2412, 81, true, false, 25, 4, 1e4, 1e4,
       " [scaled 0.04, turned 4.00 deg]"},
      {"0012", n0012},
      {"0012 Lednicer other way, chord 300, 7 degrees", n0012, 80, true, true, 300, 7, 5, 9,
       " [scaled 0.0033333, turned 7.00 deg]"},
      {"0012 moved a little", n0012, 61, false, false, 1, 0, 2e-4, 0, " [scaled 1, turned 0.00 deg]"},
  };
  test::TempDir dir;
  for (const Given& g : rows) {
    const ImportedSection imported = Import(dir, FileOf(g));
    const Section& s = imported.section;
    EXPECT_EQ(s.id_line, std::string(g.what) + g.note);
    EXPECT_EQ(imported.warnings, std::vector<std::string>{}) << g.what;
    const ImportTransform& t = imported.transform;
    if (*g.note == '\0') {
      EXPECT_EQ(t.frame, ImportFrame::Kept) << g.what;
      EXPECT_EQ(std::vector<double>({t.scale, t.angle_deg, t.shift.x, t.shift.y}),
                std::vector<double>({1, 0, 0, 0})) << g.what;
    } else {
      EXPECT_EQ(t.frame, ImportFrame::Normalised) << g.what;
      // The leading edge is found on the interpolated outline, within 1e-5
      // of the chord at the nose.
      EXPECT_NEAR(t.scale * g.chord, 1, 2e-8) << g.what;
      EXPECT_NEAR(t.angle_deg, g.degrees, 5e-4) << g.what;
      EXPECT_NEAR(t.shift.x, g.dx, 1e-5 * g.chord) << g.what;
      EXPECT_NEAR(t.shift.y, g.dy, 1e-5 * g.chord) << g.what;
    }
    ASSERT_EQ(s.points(), 41u) << g.what;
    for (std::size_t i = 0; i < s.points(); ++i) {
      const double x = s.x[i];
      EXPECT_NEAR(x, Cosine(static_cast<int>(i), 41), 5e-9) << g.what;
      EXPECT_NEAR(s.thickness[i], 2 * g.naca.Half(x), 1e-5) << g.what << " x " << x;
      if (g.naca.m == 0) {
        EXPECT_EQ(s.camber[i], 0.0) << g.what << " x " << x;
      } else {
        EXPECT_NEAR(s.camber[i], g.naca.Mean(x), 1e-5) << g.what << " x " << x;
      }
    }
  }
}

// At-file stations are the upper surface's own, each within the chord, the
// last one too when the surface reaches a little beyond it.
TEST(ImportAccuracyTest, StationsByCountOrTheUpperSurfacesOwnWithinTheChord) {
  test::TempDir dir;
  const Naca n4412{0.04, 0.4, 0.12};
  test::Surfaces s = test::NacaSurfaces(n4412, 61, 81);
  const Section five = Import(dir, test::LednicerText("4412", s), {5, false}).section;
  EXPECT_EQ(five.x, (std::vector<double>{0, 0.14644661, 0.5, 0.85355339, 1}));
  s.upper.back().x = 1.00005;
  const Section own = Import(dir, test::SeligText("4412", test::Selig(s, true)), {2, true}).section;
  ASSERT_EQ(own.points(), 61u);
  for (std::size_t i = 0; i + 1 < own.points(); ++i) {
    EXPECT_NEAR(own.x[i], Cosine(static_cast<int>(i), 61), 5e-9);
    EXPECT_NEAR(own.thickness[i], 2 * n4412.Half(own.x[i]), 1e-5);
  }
  EXPECT_EQ(own.x.back(), 1.0);
  // Found by fuzzing: stations a few 1e-9 apart, which the file prints alike.
  const Section alike = ImportOutline(std::string(TARVELO_IMPORT_DATA) +
                                      "/../../fuzz/corpus/import_coordinates_fuzz/stations-printed-alike.dat",
                                      {5, true}).section;
  EXPECT_EQ(alike.points(), 12u);
  EXPECT_TRUE(std::adjacent_find(alike.x.begin(), alike.x.end(), std::greater_equal<>()) == alike.x.end());
}

// ---- trailing edges ----

// A lower surface that stops at x = 0.95, as the Clark Y's does.
test::Surfaces ShortLowerSurface() {
  test::Surfaces s = test::NacaSurfaces({0.04, 0.4, 0.12}, 61);
  while (s.lower.back().x > 0.95) s.lower.pop_back();
  s.lower.push_back({0.95, Naca{0.04, 0.4, 0.12}.Mean(0.95) - Naca{0.04, 0.4, 0.12}.Half(0.95)});
  return s;
}

TEST(ImportTrailingEdgeTest, AShortSurfaceIsContinuedByAStraightLineWithAWarning) {
  const Naca n4412{0.04, 0.4, 0.12};
  test::TempDir dir;
  const ImportedSection kept = Import(dir, test::SeligText("short", test::Selig(ShortLowerSurface())));
  EXPECT_EQ(kept.warnings, std::vector<std::string>{
                               "The lower surface ends 5.0000 % of the chord short of the upper one: "
                               "continued by a straight line"});
  EXPECT_EQ(kept.transform.frame, ImportFrame::Kept);
  const Section& s = kept.section;
  const double lowerEnd = n4412.Mean(0.95) - n4412.Half(0.95);
  const double upperEnd = n4412.Mean(1) + n4412.Half(1);
  for (std::size_t i = 0; i < s.points(); ++i) {
    const double x = s.x[i];
    const double upper = n4412.Mean(x) + n4412.Half(x);
    const double lower = x <= 0.95 ? n4412.Mean(x) - n4412.Half(x)
                                   : lowerEnd + (x - 0.95) / 0.05 * (upperEnd - lowerEnd);
    EXPECT_NEAR(s.thickness[i], upper - lower, 1e-5) << x;
  }
  EXPECT_EQ(s.thickness.back(), 0.0);
  EXPECT_EQ(s.camber.back(), 0.00126);

  // Turned, scaled and moved: the chord ends at the longer surface's end,
  // not between the two ends.
  const ImportedSection moved = Import(
      dir, test::SeligText("short", test::Placed(test::Selig(ShortLowerSurface()), 3, 5, 1, 2)));
  EXPECT_EQ(moved.warnings, std::vector<std::string>{
                                "The lower surface ends 5.0004 % of the chord short of the upper one: "
                                "continued by a straight line"});
  EXPECT_NEAR(moved.transform.scale * 3 * std::hypot(1, upperEnd), 1, 1e-6);
  EXPECT_NEAR(moved.transform.angle_deg, 5 + std::atan(upperEnd) * 180 / std::numbers::pi, 1e-3);
}

TEST(ImportTrailingEdgeTest, ABluntTrailingEdgeKeepsItsThicknessWithoutAWarning) {
  const Naca n4412{0.04, 0.4, 0.12};
  test::Surfaces s = test::NacaSurfaces(n4412, 61);
  s.lower.back().x = 0.99994;  // 6e-5 short, 2.5e-3 apart across
  test::TempDir dir;
  for (const Points& outline : {test::Selig(s), test::Placed(test::Selig(s), 0.2, -3, 0.5, 0)}) {
    const ImportedSection imported = Import(dir, test::SeligText("blunt", outline));
    EXPECT_EQ(imported.warnings, std::vector<std::string>{});
    EXPECT_NEAR(imported.section.thickness.back(), 2 * n4412.Half(1), 1e-6);
    EXPECT_NEAR(imported.section.thickness[39], 2 * n4412.Half(imported.section.x[39]), 1e-6);
  }
  // The shorter surface goes on along its own slope to the longer one's end:
  // a symmetric section, turned, keeps its chord on its axis.
  const Naca n0012{0, 0, 0.12};
  test::Surfaces sym = test::NacaSurfaces(n0012, 61);
  while (sym.lower.back().x > 0.998) sym.lower.pop_back();
  sym.lower.push_back({0.998, -n0012.Half(0.998)});  // 2e-3 short, 2.8e-3 apart across
  const ImportedSection turned = Import(dir, test::SeligText("blunt", test::Placed(test::Selig(sym), 0.2, -3, 0.5, 0)));
  EXPECT_EQ(turned.warnings, std::vector<std::string>{});
  EXPECT_NEAR(turned.transform.angle_deg, -3, 1e-4);
}

TEST(ImportTrailingEdgeTest, SurfacesCrossingAtTheTrailingEdgeAreKeptAndSaid) {
  const ImportedSection imported = ImportOutline(std::string(TARVELO_IMPORT_DATA) + "/naca6409-crossing.dat");
  EXPECT_EQ(imported.warnings,
            std::vector<std::string>{"The surfaces cross at 99.69 % of the chord: the thickness goes "
                                     "down to -0.4110 % of the chord at 100.00 %"});
  EXPECT_EQ(imported.section.thickness.back(), -0.00411);
  EXPECT_GT(imported.section.thickness[38], 0);
}

// A flap element drawn where it sits behind the main element: x from 0.65 to 1, turned.
TEST(ImportTrailingEdgeTest, AFlapElementIsNormalisedAndTheTransformSaid) {
  const Naca n4412{0.04, 0.4, 0.12};
  const Points flap = test::Placed(test::Selig(test::NacaSurfaces(n4412, 61)), 0.35, -3, 0.65, 0);
  test::TempDir dir;
  const ImportedSection imported = Import(dir, test::SeligText("flap", flap));
  EXPECT_EQ(imported.section.id_line, "flap [scaled 2.8571, turned -3.00 deg]");
  const ImportTransform& t = imported.transform;
  EXPECT_NEAR(t.scale, 1 / 0.35, 1e-6);
  EXPECT_NEAR(t.angle_deg, -3, 5e-4);
  EXPECT_NEAR(t.shift.x, 0.65, 1e-5);
  EXPECT_NEAR(t.shift.y, 0, 1e-5);
  for (std::size_t i = 0; i < imported.section.points(); ++i)
    EXPECT_NEAR(imported.section.thickness[i], 2 * n4412.Half(imported.section.x[i]), 1e-5);
  // The outline's own points are the file's, in chord coordinates as the
  // transform says, from the leading edge on; the leading edge, found
  // between two of them, is none of them.
  Points own(imported.upper.rbegin(), imported.upper.rend());
  own.insert(own.end(), imported.lower.begin(), imported.lower.end());
  ASSERT_EQ(own.size(), flap.size());
  const double a = t.angle_deg * std::numbers::pi / 180;
  for (std::size_t i = 0; i < own.size(); ++i) {
    const double dx = flap[i].x - t.shift.x, dy = flap[i].y - t.shift.y;
    EXPECT_NEAR(own[i].x, t.scale * (dx * std::cos(a) + dy * std::sin(a)), 1e-14) << i;
    EXPECT_NEAR(own[i].y, t.scale * (dy * std::cos(a) - dx * std::sin(a)), 1e-14) << i;
  }
}

// NACA 23012 as its table gives it: the points span x = 0..1 with one at
// (0, 0), but the curve through them has its nose 4.8e-4 of the chord ahead
// of x = 0 (an independent natural spline in chord length puts the point
// farthest from the trailing edge at (-4.7710e-4, 3.6280e-3)). The frame is
// normalised there rather than pinning the nose at (0, 0). The same section
// at 81 cosine-spaced stations in the vertical convention, whose curve has
// its nose at its point (0, 0), keeps its frame.
TEST(ImportFrameTest, AnOutlineWhoseCurveReachesAheadOfItsPointsIsNormalised) {
  const test::Surfaces table = test::Naca23012Table();
  const ImportedSection imported = ImportOutline(Coordinates{"NACA 23012", test::Selig(table)}, {});
  const ImportTransform& t = imported.transform;
  EXPECT_EQ(t.frame, ImportFrame::Normalised);
  EXPECT_NEAR(t.shift.x, -4.7710e-4, 2e-8);
  EXPECT_NEAR(t.shift.y, 3.6280e-3, 2e-7);
  EXPECT_EQ(imported.section.id_line, "NACA 23012 [scaled 0.99949, turned -0.21 deg]");
  test::Surfaces vertical;
  const Naca thickness{0, 0, 0.12};
  for (int i = 0; i < 81; ++i) {
    const double x = Cosine(i, 81);
    vertical.upper.push_back({x, test::Mean230(x) + thickness.Half(x)});
    vertical.lower.push_back({x, test::Mean230(x) - thickness.Half(x)});
  }
  EXPECT_EQ(ImportOutline(Coordinates{"NACA 23012", test::Selig(vertical)}, {}).transform.frame, ImportFrame::Kept);
}

// ---- the same method, written apart from the library ----

// A natural cubic spline: second derivatives by the tridiagonal algorithm.
struct NaturalSpline {
  std::vector<double> s, v, m;
  NaturalSpline(const std::vector<double>& knots, const std::vector<double>& values)
      : s(knots), v(values), m(knots.size(), 0.0) {
    const std::size_t n = s.size();
    std::vector<double> c(n, 0.0), d(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const double h0 = s[i] - s[i - 1], h1 = s[i + 1] - s[i];
      const double r = 6 * ((v[i + 1] - v[i]) / h1 - (v[i] - v[i - 1]) / h0);
      const double den = 2 * (h0 + h1) - h0 * c[i - 1];
      c[i] = h1 / den;
      d[i] = (r - h0 * d[i - 1]) / den;
    }
    for (std::size_t i = n - 2; i >= 1; --i) m[i] = d[i] - c[i] * m[i + 1];
  }
  double operator()(double t) const {
    const std::size_t k = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::upper_bound(s.begin(), s.end(), t) - s.begin()), 1, s.size() - 1) - 1;
    const double h = s[k + 1] - s[k], a = (s[k + 1] - t) / h, b = 1 - a;
    return a * v[k] + b * v[k + 1] + ((a * a * a - a) * m[k] + (b * b * b - b) * m[k + 1]) * h * h / 6;
  }
};

// Thickness and camber at 41 cosine stations.
std::vector<std::array<double, 3>> Independent(const std::string& path) {
  std::istringstream in(ReadBytes(path));
  std::string line;
  std::getline(in, line);
  std::vector<Point> read, pts;
  while (std::getline(in, line)) {
    std::istringstream items(line);
    Point p;
    if (items >> p[0] >> p[1]) read.push_back(p);
  }
  if (read[0][0] > 1.5) {  // Lednicer: the counts, then each surface from the leading edge
    const auto split = read.begin() + 1 + static_cast<long>(read[0][0]);
    std::vector<Point> joined(std::make_reverse_iterator(split), read.rend() - 1);
    joined.insert(joined.end(), split, read.end());
    read = joined;
  }
  for (const Point& p : read)
    if (pts.empty() || p != pts.back()) pts.push_back(p);

  std::vector<double> s{0}, xs, ys;
  for (std::size_t i = 1; i < pts.size(); ++i)
    s.push_back(s.back() + std::hypot(pts[i][0] - pts[i - 1][0], pts[i][1] - pts[i - 1][1]));
  for (const Point& p : pts) xs.push_back(p[0]), ys.push_back(p[1]);
  const NaturalSpline X(s, xs), Y(s, ys);
  const Point te{(xs.front() + xs.back()) / 2, (ys.front() + ys.back()) / 2};
  const auto dist = [&](double t) { return std::hypot(X(t) - te[0], Y(t) - te[1]); };
  std::size_t far = 0;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (dist(s[i]) > dist(s[far])) far = i;
  double lo = s[far - 1], hi = s[far + 1];  // golden section for the farthest point
  for (int it = 0; it < 200; ++it) {
    const double a = hi - (hi - lo) * 0.618034, b = lo + (hi - lo) * 0.618034;
    (dist(a) > dist(b) ? hi : lo) = dist(a) > dist(b) ? b : a;
  }
  const double sle = (lo + hi) / 2, lx = X(sle), ly = Y(sle);
  const double chord = std::hypot(te[0] - lx, te[1] - ly);
  const double ux = (te[0] - lx) / chord, uy = (te[1] - ly) / chord;
  const auto nx = [&](double t) { return ((X(t) - lx) * ux + (Y(t) - ly) * uy) / chord; };
  const auto ny = [&](double t) { return (ux * (Y(t) - ly) - uy * (X(t) - lx)) / chord; };
  // y on the surface from the leading edge to `end`, by bisection between data points.
  const auto yAt = [&](double end, double x) {
    std::vector<double> knots{sle};
    for (double t : s)
      if ((end > sle) == (t > sle) && t != sle) knots.push_back(t);
    if (end < sle) std::reverse(knots.begin() + 1, knots.end());
    for (std::size_t k = 1; k < knots.size(); ++k) {
      if (nx(knots[k]) < x) continue;
      double a = knots[k - 1], b = knots[k];
      for (int it = 0; it < 200; ++it) ((nx((a + b) / 2) < x) ? a : b) = (a + b) / 2;
      return ny((a + b) / 2);
    }
    return ny(end);
  };
  const bool firstUp = ny(s[far / 2]) > ny(s[(far + s.size()) / 2]);
  std::vector<std::array<double, 3>> out;
  for (int i = 0; i < 41; ++i) {
    const double x = Cosine(i, 41);
    const double y1 = yAt(s.front(), x), y2 = yAt(s.back(), x);
    const double yu = firstUp ? y1 : y2, yl = firstUp ? y2 : y1;
    out.push_back({x, yu - yl, (yu + yl) / 2});
  }
  return out;
}

TEST(ImportQuirksTest, FilesAsPublishedAgreeWithAnIndependentDecomposition) {
  for (const char* name : {"naca2412-tabs-crlf.dat", "naca4412-lednicer.dat",
                           "naca0009-repeated.dat", "naca6409-crossing.dat"}) {
    const std::string path = std::string(TARVELO_IMPORT_DATA) + "/" + name;
    const Section s = ImportCoordinates(path);
    const auto want = Independent(path);
    ASSERT_EQ(s.points(), want.size()) << name;
    for (std::size_t i = 0; i < want.size(); ++i) {
      if (want[i][0] < 0.002 || want[i][0] > 0.99) continue;
      EXPECT_NEAR(s.thickness[i], want[i][1], 5e-4) << name << " x " << want[i][0];
      EXPECT_NEAR(s.camber[i], want[i][2], 5e-4) << name << " x " << want[i][0];
    }
  }
}

// A first line of two numbers is the first point; whole numbers that do not
// count what follows are a point where the outline can start there.
TEST(ImportQuirksTest, PointsWhereANameOrCountsCouldStand) {
  const Naca n0012{0, 0, 0.12};
  const Points outline = test::Selig(test::NacaSurfaces(n0012, 61));
  test::TempDir dir;
  const std::string file = dir.file("naca0012 outline.dat");
  WriteBytes(file, test::SeligText("name", outline).substr(5));
  WriteBytes(dir.file("named.dat"), test::SeligText("name", outline));
  const ImportedSection unnamed = ImportOutline(file);
  EXPECT_EQ(unnamed.section.id_line, "naca0012 outline");
  EXPECT_EQ(unnamed.warnings,
            std::vector<std::string>{"The file has no name line: the section is named after the file"});
  EXPECT_EQ(unnamed.section.thickness, ImportCoordinates(dir.file("named.dat")).thickness);

  // Millimetres, a blunt trailing edge 4 mm thick: the first point is "200 2".
  Points mm = test::Placed(outline, 200, 0, 0, 0);
  mm.front() = {200, 2};
  mm.back() = {200, -2};
  const ImportedSection millimetres = Import(dir, test::SeligText("mm", mm));
  EXPECT_EQ(millimetres.section.id_line, "mm [scaled 0.005, turned 0.00 deg]");
  EXPECT_NEAR(millimetres.section.thickness.back(), 0.02, 1e-8);
}

std::string Lines(const Points& points) { return test::SeligText("x", points).substr(2); }

TEST(ImportRefusalTest, EveryRefusedFileGetsTheMessageNamingItsCause) {
  test::TempDir dir;
  const std::string f = dir.file("coords.dat");
  const std::string neither = "not a Selig or Lednicer coordinate file: ";
  const test::Surfaces n0012 = test::NacaSurfaces({0, 0, 0.12}, 61);
  const Points outline = test::Selig(n0012);
  const std::string few = "few\n1 0\n0.5 0.05\n0.2 0.05\n0 0\n0.2 -0.05\n0.5 -0.05\n1 0\n";
  const std::string turn = "turn\n1 0\n0.75 0.03\n0.5 0.05\n0.6 0.06\n0.25 0.05\n0 0\n"
                           "0.25 -0.05\n0.5 -0.06\n0.75 -0.03\n1 0\n";
  // Upper and lower change places between 40 and 60 % of the chord.
  const std::string crossing = "cross\n1 0\n0.8 0.02\n0.6 0.01\n0.5 -0.01\n0.4 0.02\n0.2 0.04\n"
                               "0.1 0.03\n0 0\n0.1 -0.03\n0.2 -0.04\n0.4 -0.02\n0.5 0.01\n"
                               "0.6 -0.01\n0.8 -0.02\n1 0\n";
  // Upper and lower change places at the point at x = 0.3208 alone, between
  // the stations at 0.3087 and 0.3455.
  Points between = outline;
  std::swap(between[60 - 23].y, between[60 + 23].y);
  // The points round the outline, shuffled.
  Points shuffled = outline;
  for (std::size_t i = 0; i < shuffled.size(); ++i) std::swap(shuffled[i], shuffled[(i * 37) % shuffled.size()]);
  Points off = outline;
  off[30].x = 1e308;
  // From the leading edge over the upper surface to the trailing edge and
  // back along the lower one.
  Points fromLeadingEdge(n0012.upper);
  fromLeadingEdge.insert(fromLeadingEdge.end(), n0012.lower.rbegin() + 1, n0012.lower.rend());
  const std::string counted = Lines(n0012.upper) + Lines(n0012.lower);
  const struct {
    std::string bytes, text;
  } rows[] = {
      {"name\n1 0\n0.5 0.05x\n", "invalid number in line 3"},
      {"name\r\n\r\n1 0\r\n0.5\t0.05 0\r\n", neither + "line 4 does not hold two numbers"},
      {ReadBytes(test::ExamplePath("naca2412.dat")), neither + "line 2 does not hold two numbers"},
      {"name only\n\n", neither + "no coordinates"},
      {"", neither + "no coordinates"},
      {"lednicer\n3. 3.\n\n0 0\n0.5 0.1\n1 0\n\n0 0\n1 0\n", neither + "line 2 counts 6 points but 5 follow"},
      {"counts\n-5 -5\n" + counted, neither + "line 2 gives point counts below 1: -5 -5"},
      {"counts\n0 0\n" + counted, neither + "line 2 gives point counts below 1: 0 0"},
      {"counts\n1e20 1e20\n" + counted, neither + "line 2 counts 2e+20 points but 122 follow"},
      {"61 61\n" + counted + "1 0\n", neither + "line 1 counts 122 points but 123 follow"},
      {few, "a surface has fewer than 5 points"},
      {"four\n4 4\n0 0\n0.2 0.05\n0.5 0.05\n1 0\n0 0\n0.2 -0.05\n0.5 -0.05\n1 0\n",
       "a surface has fewer than 5 points"},
      {"one point, repeated\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n",
       "a surface has fewer than 5 points"},
      {turn, "a surface turns back in the chord direction in line 4"},
      {crossing, "the surfaces cross at 46.08 % of the chord"},
      {"between\n" + Lines(between), "the surfaces cross at 32.08 % of the chord"},
      {"shuffled\n" + Lines(shuffled), "the points do not run in order round the outline"},
      // A point back at the trailing edge after the leading edge: once an
      // import of NaN; the outline doubles back on itself.
      {"stray TE point\n1 0\n0.75 0.05\n0.5 0.07\n0.25 0.06\n0 0\n1 0\n0.25 -0.04\n0.5 -0.05\n"
       "0.75 -0.03\n1 0\n",
       "the points do not run in order round the outline"},
      {"stray TE point\n" + Lines(Points(outline.begin(), outline.begin() + 61)) + "1 0\n" +
           Lines(Points(outline.begin() + 61, outline.end())),
       "the points do not run in order round the outline"},
      {"off\n" + Lines(off), "the point in line 32 lies far off the outline"},
      {"leading edge first\n" + Lines(fromLeadingEdge),
       "the outline starts and ends at its leading edge: list it from the trailing edge"},
  };
  for (const auto& r : rows) {
    WriteBytes(f, r.bytes);
    std::string text = "imported";
    try {
      ImportOutline(f);
    } catch (const Error& e) {
      EXPECT_EQ(e.subject(), f);
      EXPECT_EQ(e.kind(), ErrorKind::BadData);
      text = e.what();
    }
    EXPECT_EQ(text, f + ": " + r.text) << r.bytes.substr(0, 40);
  }
  for (const std::pair<std::string, int>& missing : {std::pair{dir.file("missing.dat"), 41}, {f, 4}, {f, 402}}) {
    try {
      ImportOutline(missing.first, {missing.second, false});
      ADD_FAILURE();
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), missing.second == 41 ? missing.first + ": input file not found"
                                                            : "5 to 401 stations are allowed");
    }
  }
}

// Five points to a surface are enough, whichever surface comes first. The
// upper surface's first point lies across from the lower one's, so that the
// curve keeps its nose at the shared point and each surface its own points.
TEST(ImportRefusalTest, FivePointsMakeASurfaceFirstOrLast) {
  const Naca n0012{0, 0, 0.12};
  test::Surfaces s;
  for (double x : {0.0, Cosine(1, 9), 0.3, 0.7, 1.0}) s.upper.push_back({x, n0012.Half(x)});
  for (int i = 0; i < 9; ++i) s.lower.push_back({Cosine(i, 9), -n0012.Half(Cosine(i, 9))});
  test::TempDir dir;
  for (const bool lower_first : {false, true}) {
    const ImportedSection imported = Import(dir, test::SeligText("five", test::Selig(s, lower_first)));
    EXPECT_EQ(imported.upper.size(), 5u) << lower_first;
    EXPECT_EQ(imported.lower.size(), 9u) << lower_first;
  }
}

// ---- one import, one result ----

// What the library gives is what its section data file reads back; an
// outline in memory gives what its file gives; the kept frame gives the
// file's own points back.
TEST(ImportPathsTest, OneOutlineGivesOneSectionByEveryPath) {
  const Naca n0012{0, 0, 0.12}, n2412{0.02, 0.4, 0.12};
  const struct {
    const char* name;
    Points points;
  } rows[] = {
      {"0012", test::Selig(test::NacaSurfaces(n0012, 61))},
      {"0012 turned", test::Placed(test::Selig(test::NacaSurfaces(n0012, 61)), 2, 3, 1, 1)},
      {"2412 turned", test::Placed(test::Selig(test::NacaSurfaces(n2412, 61), true), 0.5, -2, 0, 1)},
      {"short", test::Selig(ShortLowerSurface())},
  };
  test::TempDir dir;
  for (const auto& r : rows) {
    const ImportedSection file = Import(dir, test::SeligText(r.name, r.points), {33, false});
    WriteBytes(dir.file("section.dat"), SectionFileText(file.section));
    const Section read = ReadSection(dir.file("section.dat"));
    const ImportedSection memory = ImportOutline(Coordinates{r.name, r.points}, {33, false});
    for (const Section* s : {&read, &memory.section}) {
      EXPECT_EQ(s->id_line, file.section.id_line);
      EXPECT_EQ(s->x, file.section.x) << r.name;
      EXPECT_EQ(s->thickness, file.section.thickness) << r.name;
      EXPECT_EQ(s->camber, file.section.camber) << r.name;
    }
    EXPECT_EQ(memory.warnings, file.warnings);
    EXPECT_EQ(ImportTransformText(memory.transform), ImportTransformText(file.transform));
    if (r.name[0] == '0') {
      EXPECT_EQ(file.section.camber, std::vector<double>(33, 0.0)) << r.name;
    }
  }
  // In its own frame the outline's points are the file's.
  const ImportedSection kept = ImportOutline(Coordinates{"0012", rows[0].points});
  const test::Surfaces want = test::NacaSurfaces(n0012, 61);
  EXPECT_EQ(Lines(kept.upper), Lines(want.upper));
  EXPECT_EQ(Lines(kept.lower), Lines(want.lower));
}

TEST(ImportPathsTest, AnOutlineInMemoryIsRefusedNamingItsPoints) {
  Points points = test::Selig(test::NacaSurfaces({0, 0, 0.12}, 21));
  const auto refusal = [](const Coordinates& outline) {
    try {
      ImportOutline(outline);
    } catch (const Error& e) {
      return std::string(ErrorKindName(e.kind())) + ": " + e.what();
    }
    return std::string("imported");
  };
  Points nan = points;
  nan[2].y = std::nan("");
  Points turn = points;
  turn[4].x = 0.99;
  EXPECT_EQ(refusal({"0012", nan}), "bad_data: 0012: point 3 is not a finite number");
  EXPECT_EQ(refusal({"", turn}),
            "bad_data: The outline: a surface turns back in the chord direction in point 4");
  EXPECT_EQ(refusal({"two\nlines", points}), "usage: the outline's name holds a line end");
}


TEST(SectionFileTextTest, PercentWithSixDecimalsRightAligned) {
  const Section s{"id line ", {0, 0.0015413, 0.5, 1}, {0, 0.0123456785, -1e-7, 0.00252},
                  {0, -4.9e-9, 0.02, -0.0}};
  EXPECT_EQ(SectionFileText(s),
            "id line \r\n4\r\n"
            "   0.000000,    0.000000,    0.000000,    0.000000\r\n"
            "   0.154130,    0.617284,    0.617284,    0.000000\r\n"
            "  50.000000,   -0.000005,   -0.000005,    2.000000\r\n"
            " 100.000000,    0.126000,    0.126000,    0.000000\r\n");
  EXPECT_THROW(SectionFileText({"ragged", {0, 1}, {0}, {0, 0}}), Error);
}

}  // namespace
}  // namespace tarvelo
