// The blade of a radial table: the table's reading and refusals, the
// definition at the table's rows, the integrals, and the fitted surfaces
// held to the tolerance they report.
#include <gtest/gtest.h>

#include <tarvelo/tarvelo.h>

#include <cmath>
#include <numbers>
#include <random>

#include "bspline/exact.h"
#include "lib/foil.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Refusal;

const char* kHeader = "r/R c/D P/D t0/c f0/c skew rake/D\n";

FoilSpline Section() { return ReadFoilFile(test::ExamplePath("blade/section.FOI")); }
BladeTable Example() { return ReadBladeTable(test::ExamplePath("blade/propeller.txt")); }

std::string Read(const std::string& text) {
  return Refusal([&] { ReadBladeTableText(text, "t.txt"); });
}

TEST(BladeTableTest, RefusesNamingTheLineAndTheColumn) {
  const std::string rows = "0.2 0.3 1.0 0.2 0.02 0 0\n";
  struct Case {
    std::string text, want;
  } cases[] = {
      {std::string(kHeader) + rows + "0.2 0.3 1 0.1 0.02 0 0\n",
       "bad_data: t.txt: line 3, column r/R: r/R must increase from row to row (0.2 after 0.2)"},
      {std::string(kHeader) + rows + "0.19 0.3 1 0.1 0.02 0 0\n",
       "bad_data: t.txt: line 3, column r/R: r/R must increase from row to row (0.19 after 0.2)"},
      {"r/R c/D t0/c f0/c\n" + rows, "bad_data: t.txt: line 1: the column P/D is missing"},
      {std::string(kHeader) + "0.2 0 1 0.1 0.02 0 0\n0.3 0.2 1 0.1 0.02 0 0\n",
       "bad_data: t.txt: line 2, column c/D: the chord must be above 0 before the last row"},
      {std::string(kHeader) + rows + "0.3 -1e-9 1 0.1 0.02 0 0\n",
       "bad_data: t.txt: line 3, column c/D: the chord must not be below 0"},
      {std::string(kHeader) + rows + "0.3 0.2 1 inf 0.02 0 0\n", "bad_data: t.txt: line 3, column t0/c: not a finite number"},
      {std::string(kHeader) + rows + "0.3 0.2 nan 0.1 0.02 0 0\n", "bad_data: t.txt: line 3, column P/D: not a finite number"},
      {std::string(kHeader) + rows + "0.3 0.2x 1 0.1 0.02 0 0\n", "bad_data: t.txt: line 3, column c/D: not a number: '0.2x'"},
      {std::string(kHeader) + rows + "0.3 0.2 1 0.1 0.02 0\n", "bad_data: t.txt: line 3: 6 numbers where the columns are 7"},
      {"diameter = 12 ft\n" + std::string(kHeader) + rows, "bad_data: t.txt: line 1: unknown unit 'ft': use mm, cm, m or in"},
      {"diameter = -12 mm\n" + std::string(kHeader) + rows,
       "bad_data: t.txt: line 1: the diameter must be a number above 0, with its unit: ' -12 mm'"},
      {"blades = 2.5\n" + std::string(kHeader) + rows,
       "bad_data: t.txt: line 1: the number of blades must be a whole number from 1 to 64: '2.5'"},
      {"blades = 0\n" + std::string(kHeader) + rows,
       "bad_data: t.txt: line 1: the number of blades must be a whole number from 1 to 64: '0'"},
      {"blades = 65\n" + std::string(kHeader) + rows,
       "bad_data: t.txt: line 1: the number of blades must be a whole number from 1 to 64: '65'"},
      {std::string(kHeader) + rows + "1.0000001 0.2 1 0.1 0.02 0 0\n",
       "bad_data: t.txt: line 3, column r/R: r/R must be above 0 and at most 1"},
      {std::string(kHeader) + "0 0.2 1 0.1 0.02 0 0\n" + rows, "bad_data: t.txt: line 2, column r/R: r/R must be above 0 and at most 1"},
      {std::string(kHeader) + rows + "0.3 0.2 1 1.0000001 0.02 0 0\n",
       "bad_data: t.txt: line 3, column t0/c: the thickness must be above 0 and at most 1"},
      {std::string(kHeader) + rows + "0.3 0.2 1 0 0.02 0 0\n",
       "bad_data: t.txt: line 3, column t0/c: the thickness must be above 0 and at most 1"},
      {std::string(kHeader) + rows + "0.3 0.2 1 0.1 -1.0000001 0 0\n",
       "bad_data: t.txt: line 3, column f0/c: the camber must be from -1 to 1"},
      {std::string(kHeader) + rows, "bad_data: t.txt: a blade needs at least 2 rows, not 1"},
      {rows + kHeader, "bad_data: t.txt: line 1: a row before the line naming the columns"},
      {"# nothing\n", "bad_data: t.txt: no line names the columns (r/R c/D P/D t0/c f0/c, skew and rake/D)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.text), c.want) << c.text;
}

TEST(BladeTableTest, TakesEachLimitItself) {
  const BladeTable t = ReadBladeTableText(
      "# limits\ndiameter = 1 in\nblades = 64\n"
      "r/R\tc/D,P/D, t0/c f0/c skew rake/D\n"
      "1e-9 0.2 1 1 -1 0 0\n"
      "1 0 1 1e-9 1 0 0\n",
      "t.txt");
  EXPECT_EQ(t.blades, 64);
  EXPECT_EQ(t.diameter, 1);
  EXPECT_EQ(t.units, LengthUnit::Inch);
  ASSERT_EQ(t.rows.size(), 2u);
  EXPECT_EQ(t.rows[1].r, 1);
  EXPECT_EQ(t.rows[1].chord, 0);
  EXPECT_EQ(t.rows[1].line, 6);
}

TEST(BladeTableTest, ColumnsInAnyOrderOthersIgnoredSkewAndRakeMayBeLeftOut) {
  const BladeTable t = ReadBladeTableText(
      "title line\nf0/c, t0/c, note, P/D, c/D, r/R\n0.02, 0.2, 7, 1.1, 0.3, 0.25\n0.01,0.1,8,1.0,0.25,0.9\n", "t.txt");
  ASSERT_EQ(t.rows.size(), 2u);
  const BladeRow& r = t.rows[0];
  EXPECT_EQ(r.r, 0.25);
  EXPECT_EQ(r.chord, 0.3);
  EXPECT_EQ(r.pitch, 1.1);
  EXPECT_EQ(r.thickness, 0.2);
  EXPECT_EQ(r.camber, 0.02);
  EXPECT_EQ(r.skew_deg, 0);
  EXPECT_EQ(r.rake, 0);
  EXPECT_EQ(t.diameter, 0);
  EXPECT_EQ(t.blades, 0);
}

TEST(BladeTableTest, ReadsTheGeometryTableOfTheDesignCode) {
  const BladeTable t = ReadBladeTableText(
      "Propeller Geometry Table\n"
      "\n"
      "Propeller Diameter = 0.3000 m\n"
      "Number of Blades = 4\n"
      "Propeller Speed = 1200 RPM\n"
      "\n"
      "r/R     c/D      t0/c     f0/c     P/D      pitch    skew     rake/D\n"
      "(-)     (-)      (-)      (-)      (-)      (deg)    (deg)    (-)\n"
      "0.2000  0.1800   0.1500   0.0300   1.2000   62.34    0.0000   0.0000\n"
      "0.6000  0.3000   0.0600   0.0200   1.1000   30.26    5.0000   0.0100\n"
      "1.0000  0.0000   0.0300   0.0100   1.0000   17.66   12.0000   0.0200\n",
      "g.txt");
  EXPECT_EQ(t.diameter, 0.3);
  EXPECT_EQ(t.units, LengthUnit::Metre);
  EXPECT_EQ(t.blades, 4);
  ASSERT_EQ(t.rows.size(), 3u);
  const BladeRow& r = t.rows[1];
  EXPECT_EQ(r.r, 0.6);
  EXPECT_EQ(r.chord, 0.3);
  EXPECT_EQ(r.thickness, 0.06);
  EXPECT_EQ(r.camber, 0.02);
  EXPECT_EQ(r.pitch, 1.1);
  EXPECT_EQ(r.skew_deg, 5);
  EXPECT_EQ(r.rake, 0.01);
  EXPECT_EQ(r.line, 10);
}

TEST(BladeTableTest, FilesAreRefusedAsEveryReaderRefusesThem) {
  test::TempDir dir;
  EXPECT_EQ(Refusal([&] { ReadBladeTable(dir.file("none.txt")); }),
            "not_found: " + dir.file("none.txt") + ": input file not found");
  EXPECT_EQ(Refusal([&] { ReadBladeTable(dir.path()); }), "not_readable: " + dir.path().string() + ": input file is a directory");
}

// The definition, written out again from its formulas, at the rows of the
// table, where every column is the row's own value.
std::array<double, 3> Defined(const BladeRow& row, double d, const FoilSpline& foil, double x, double side,
                              bool planar) {
  const double r = row.r * d / 2, c = row.chord * d, p = row.pitch * d;
  const double phi = std::atan(p / (2 * std::numbers::pi * r));
  const FoilSpline::Value v = foil.Evaluate(x);
  const double s = c * (0.5 - x), n = row.camber * c * v.camber + side * row.thickness * c * v.thickness / 2;
  const double skew = row.skew_deg * std::numbers::pi / 180;
  const double theta = -skew + (s * std::cos(phi) - n * std::sin(phi)) / r;
  const double big_x = row.rake * d + r * skew * std::tan(phi) - s * std::sin(phi) - n * std::cos(phi);
  if (planar) return {big_x, r * theta, r};
  return {big_x, r * std::sin(theta), r * std::cos(theta)};
}

TEST(BladeDefinitionTest, AtTheRowsThePointsAreTheFormulas) {
  const BladeTable table = Example();
  const FoilSpline foil = Section();
  for (bool planar : {false, true}) {
    BladeOptions o;
    o.planar = planar;
    o.tolerance = 1e-4;  // the surfaces do not matter here
    const Blade right = MakeBlade(table, foil, o);
    o.left_handed = true;
    const Blade left = MakeBlade(table, foil, o);
    for (const BladeRow& row : table.rows)
      for (double x : {0.0, 0.003, 0.25, 0.5, 0.9, 1.0})
        for (bool back : {true, false}) {
          const std::array<double, 3> want = Defined(row, 304.8, foil, x, back ? 1 : -1, planar);
          const std::array<double, 3> got = BladePoint(right, row.r, x, back);
          const std::array<double, 3> mirrored = BladePoint(left, row.r, x, back);
          for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], 1e-12 * 304.8) << row.r << " " << x << " " << k;
          EXPECT_EQ(mirrored[0], got[0]);
          EXPECT_EQ(mirrored[1], -got[1]);
          EXPECT_EQ(mirrored[2], got[2]);
        }
  }
}

TEST(BladeDefinitionTest, PointsOutsideTheBladeAreRefused) {
  BladeOptions o;
  o.tolerance = 1e-4;
  const Blade b = MakeBlade(Example(), Section(), o);
  EXPECT_EQ(Refusal([&] { BladePoint(b, 0.2, 0, true); }), "done");
  EXPECT_EQ(Refusal([&] { BladePoint(b, 1, 1, false); }), "done");
  EXPECT_EQ(Refusal([&] { BladePoint(b, 0.19999999, 0, true); }), "usage: 0.19999999 is not an r/R of the blade");
  EXPECT_EQ(Refusal([&] { BladePoint(b, 1.0000001, 0, true); }), "usage: 1.0000001 is not an r/R of the blade");
  EXPECT_EQ(Refusal([&] { BladePoint(b, 0.5, -1e-12, true); }), "usage: -1e-12 is not a chord position from 0 to 1");
}

// A table whose columns are cubics in r/R: the not-a-knot spline is each
// cubic itself, and every integral has its closed form.
struct Cubic {
  double a, b, c, d;
  double operator()(double r) const { return a + r * (b + r * (c + r * d)); }
  double Integral(double r) const { return r * (a + r * (b / 2 + r * (c / 3 + r * d / 4))); }
};
constexpr Cubic kChord{0.1, 0.8, -0.5, -0.2}, kThickness{0.25, -0.4, 0.2, 0.0}, kPitch{1.2, -0.2, 0, 0};

BladeTable Polynomial(int rows, double r0, double r1) {
  BladeTable t;
  t.diameter = 2;
  t.blades = 5;
  for (int i = 0; i < rows; ++i) {
    const double r = i + 1 == rows ? r1 : r0 + (r1 - r0) * i / (rows - 1);
    t.rows.push_back({r, kChord(r), kPitch(r), kThickness(r), 0.02, 10 * r, 0.01 * r, 0});
  }
  return t;
}

TEST(BladeFiguresTest, AreaRatiosAndVolumeAreTheIntegralsOfTheColumns) {
  const FoilSpline foil = Section();
  const double area_of_t = SectionProperties(foil, {1, 0}).area;
  for (int rows : {4, 5, 10}) {
    BladeOptions o;
    o.tolerance = 1e-4;
    EXPECT_EQ(Refusal([&] { MakeBlade(Polynomial(rows, 0.2, 1), foil, o); }), "done");
    const Blade b = MakeBlade(Polynomial(rows, 0.2, 1), foil, o);
    // R = 1: r is r/R.
    const double expanded = 5 * (kChord.Integral(1) - kChord.Integral(0.2)) * 2 / std::numbers::pi;
    EXPECT_NEAR(b.expanded_area_ratio, expanded, 1e-12 * expanded) << rows;
    // t0 c^2 of degree 9, by 8-point Gauss-Legendre on the whole span.
    const double nodes[] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
    const double weights[] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};
    double volume = 0;
    for (int i = 0; i < 4; ++i)
      for (double sign : {-1.0, 1.0}) {
        const double r = 0.6 + 0.4 * sign * nodes[i];
        const double c = kChord(r) * 2;
        volume += weights[i] * 0.4 * kThickness(r) * c * c * area_of_t;
      }
    EXPECT_NEAR(b.volume, 5 * volume, 1e-12 * b.volume) << rows;
    ASSERT_EQ(b.sections.size(), static_cast<std::size_t>(rows));
    const OutlineProperties own = SectionProperties(foil, {b.rows[1].thickness, b.rows[1].camber});
    const double c = b.rows[1].chord * 2;
    EXPECT_DOUBLE_EQ(b.sections[1].properties.area, own.area * c * c);
    EXPECT_DOUBLE_EQ(b.sections[1].properties.max_thickness, own.max_thickness * c);
    EXPECT_DOUBLE_EQ(b.sections[1].properties.ixx, own.ixx * c * c * c * c);
    EXPECT_EQ(b.sections[1].properties.te_angle_deg, own.te_angle_deg);
  }
}

TEST(BladeFiguresTest, WithoutPitchTheProjectedAreaIsTheExpandedOne) {
  BladeTable t = Polynomial(5, 0.2, 1);
  for (BladeRow& row : t.rows) row.pitch = 0;
  BladeOptions o;
  o.tolerance = 1e-4;
  const Blade b = MakeBlade(t, Section(), o);
  EXPECT_NEAR(b.projected_area_ratio, b.expanded_area_ratio, 1e-9);
}

TEST(BladeFiguresTest, TwoRowsAreStraightLines) {
  BladeTable t;
  t.diameter = 1;
  t.blades = 2;
  t.rows = {{0.2, 0.3, 1, 0.1, 0.02, 0, 0, 0}, {1, 0.1, 1, 0.05, 0.01, 0, 0, 0}};
  BladeOptions o;
  o.tolerance = 1e-4;
  const Blade b = MakeBlade(t, Section(), o);
  EXPECT_NEAR(b.expanded_area_ratio, 2 * (0.5 * (0.3 + 0.1) * 0.8 / 2) / (std::numbers::pi / 4), 1e-14);
}

TEST(MakeBladeTest, RefusesWhatNeitherTheTableNorTheOptionsGive) {
  const FoilSpline foil = Section();
  BladeTable t = Example();
  BladeOptions o;
  const auto make = [&] { return Refusal([&] { MakeBlade(t, foil, o); }); };
  struct Case {
    std::function<void()> change;
    std::string want;
  } cases[] = {
      {[&] { t.diameter = 0; }, "usage: the diameter is given neither by the table nor by the options"},
      {[&] { o.diameter = 1e6 * (1 + 1e-15); }, "usage: the diameter must be above 0 and at most 1e6"},
      {[&] { o.diameter = -1; }, "usage: the diameter must be above 0 and at most 1e6"},
      {[&] { t.blades = 0; }, "usage: the number of blades is given neither by the table nor by the options"},
      {[&] { o.blades = 65; }, "usage: the number of blades must be from 1 to 64"},
      {[&] { o.tolerance = 0.99e-9; }, "usage: the tolerance must be from 1e-9 to 1e-3 of the diameter"},
      {[&] { o.tolerance = 1.01e-3; }, "usage: the tolerance must be from 1e-9 to 1e-3 of the diameter"},
      {[&] { o.stl_tolerance = 0.99e-7; }, "usage: the STL tolerance must be from 1e-7 to 1e-2 of the diameter"},
      {[&] { o.stl_tolerance = 1.01e-2; }, "usage: the STL tolerance must be from 1e-7 to 1e-2 of the diameter"},
      {[&] { t.rows[3].chord = 0; },
       "bad_data: the table: line 11, column c/D: the chord must be above 0 before the last row"},
      // A chord that the interpolation takes below 0 between the last rows.
      {[&] { t.rows[7].chord = 0.005; t.rows[8].chord = 0.4; },
       "bad_data: the table: between line 14 and line 15, column c/D: the interpolated chord falls to 0 or below at "
       "r/R = 0.8656250000000001"},
      {[&] { t.rows[7].thickness = 0.001; t.rows[8].thickness = 0.2; },
       "bad_data: the table: between line 14 and line 15, column t0/c: the interpolated thickness falls to 0 or "
       "below at r/R = 0.8296875"},
  };
  for (const Case& c : cases) {
    t = Example();
    o = BladeOptions{};
    o.tolerance = 1e-4;
    c.change();
    EXPECT_EQ(make(), c.want);
  }
  // Each limit itself is taken.
  for (const auto& change : std::vector<std::function<void()>>{
           [&] { o.diameter = 1e6; }, [&] { o.blades = 64; }, [&] { o.tolerance = 1e-3; },
           [&] { o.stl_tolerance = 1e-7; }, [&] { o.stl_tolerance = 1e-2; }}) {
    t = Example();
    o = BladeOptions{};
    o.tolerance = 1e-4;
    change();
    EXPECT_EQ(make(), "done");
  }
}

TEST(MakeBladeTest, TheDiameterInTheOutputsUnit) {
  BladeTable t = Example();
  t.diameter = 0.3;
  t.units = LengthUnit::Metre;
  struct Case {
    LengthUnit asked;
    LengthUnit got;
    double diameter;
  } cases[] = {{LengthUnit::None, LengthUnit::Metre, 0.3},
               {LengthUnit::Millimetre, LengthUnit::Millimetre, 300},
               {LengthUnit::Centimetre, LengthUnit::Centimetre, 30},
               {LengthUnit::Inch, LengthUnit::Inch, 300 / 25.4}};
  for (const Case& c : cases) {
    BladeOptions o;
    o.units = c.asked;
    o.tolerance = 1e-4;
    const Blade b = MakeBlade(t, Section(), o);
    EXPECT_EQ(b.units, c.got);
    EXPECT_NEAR(b.diameter, c.diameter, 1e-15 * c.diameter);
    EXPECT_NEAR(b.tolerance, 1e-4 * c.diameter, 1e-18 * c.diameter);
  }
  // A diameter without a unit is in the output's.
  t.units = LengthUnit::None;
  BladeOptions o;
  o.tolerance = 1e-4;
  o.units = LengthUnit::Inch;
  EXPECT_EQ(MakeBlade(t, Section(), o).diameter, 0.3);
  EXPECT_EQ(MakeBlade(t, Section(), BladeOptions{.diameter = 0, .tolerance = 1e-4}).units, LengthUnit::Millimetre);
}

// A surface at (u, v), from its poles, by the engine's basis.
std::array<double, 3> On(const BladeSurface& s, double u, double v) {
  const ExactBasis bu = ExactBasisAt(s.knots_u, s.count_u, u), bv = ExactBasisAt(s.knots_v, s.count_v, v);
  std::array<double, 3> p{0, 0, 0};
  for (int b = 0; b < 4; ++b)
    for (int a = 0; a < 4; ++a) {
      const auto& q = s.poles[static_cast<std::size_t>(bv.ii - 4 + b) * static_cast<std::size_t>(s.count_u) +
                              static_cast<std::size_t>(bu.ii - 4 + a)];
      for (int k = 0; k < 3; ++k) p[k] += bu.cubic[a] * bv.cubic[b] * q[k];
    }
  return p;
}

TEST(BladeSurfacesTest, TheBackAndTheFaceLieWithinTheDeviationTheyReport) {
  const FoilSpline foil = Section();
  const BladeTable table = Example();
  std::mt19937 random(29);
  struct Case {
    double tolerance;
    bool planar;
    double most;  // what the report may say, a fraction of D
  } cases[] = {{1e-4, false, 1e-4}, {1e-6, false, 1e-6}, {1e-8, false, 1e-8}, {1e-6, true, 1e-10}};
  for (const Case& c : cases) {
    BladeOptions o;
    o.tolerance = c.tolerance;
    o.planar = c.planar;
    const Blade b = MakeBlade(table, foil, o);
    EXPECT_LE(b.max_deviation.deviation, c.most * 304.8) << c.tolerance;
    EXPECT_GT(b.max_deviation.deviation, 0);
    std::vector<std::string> names;
    for (const BladeSurface& s : b.surfaces) names.push_back(s.name);
    // The example's section has a blunt trailing edge and a tip of some chord.
    EXPECT_EQ(names, (std::vector<std::string>{"back", "face", "root", "tip", "trailing edge"}));
    double measured = 0;
    std::uniform_real_distribution<double> any(0, 1);
    const std::vector<double> knots = KnotsOf(foil);
    for (int k = 0; k < 400; ++k) {
      const double t = any(random), r = 0.2 + 0.8 * any(random);
      // The foil's x(t) at t: where the surfaces' u is t.
      const double x = SplineValue(foil.control_x, ExactBasisAt(knots, static_cast<int>(knots.size()) - 4, t));
      for (int side = 0; side < 2; ++side) {
        const std::array<double, 3> want = BladePoint(b, r, x, side == 0);
        const std::array<double, 3> got = On(b.surfaces[static_cast<std::size_t>(side)], t, r);
        measured = std::max(measured, std::hypot(got[0] - want[0], got[1] - want[1], got[2] - want[2]));
      }
    }
    EXPECT_LE(measured, b.max_deviation.deviation) << c.tolerance;
  }
}

}  // namespace
}  // namespace tarvelo
