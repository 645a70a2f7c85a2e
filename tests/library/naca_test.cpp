// The sections made from published tables, the mean lines' slopes and the
// outline as published: against the tables' own numbers, against the
// derivative of each mean line, and against the construction of NACA
// Report 460 worked here from its formulas.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lib/naca.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Refusal;

std::vector<double> Percent(const std::vector<double>& v) {
  std::vector<double> out;
  for (double p : v) out.push_back(p / 100);
  return out;
}

// At their stations the tables give their own numbers, to the bit of the
// fraction they print.
TEST(PublishedSectionTest, TheTablesStationsGiveThePublishedOrdinates) {
  NacaOptions table;
  table.table_stations = true;
  // The modified NACA 66, 10 % thick: the thickness over the largest one.
  const Section mod = NacaSection("66mod-010", table);
  EXPECT_EQ(mod.x, Percent({0, 1.25, 2.5, 5, 7.5, 10, 15, 20, 30, 40, 45, 50, 60, 70, 80, 90, 95, 100}));
  const std::vector<double> ratio = {0,      0.2088, 0.2932, 0.4132, 0.5050, 0.5814, 0.7042, 0.8000, 0.9274,
                                     0.9904, 1.0000, 0.9924, 0.9306, 0.8070, 0.6220, 0.3754, 0.2286, 0.0666};
  ASSERT_EQ(mod.thickness.size(), ratio.size());
  for (std::size_t i = 0; i < ratio.size(); ++i) {
    EXPECT_NEAR(mod.thickness[i], 0.1 * ratio[i], 1e-17) << mod.x[i];
    EXPECT_EQ(mod.camber[i], 0.0);
  }
  EXPECT_EQ(mod.id_line, "NACA 66mod-010, 66 (mod) thickness 10 %, symmetric section, 18 stations");

  // NACA 65A010, half the thickness in percent; with cli 0.5 the a = 0.8
  // (modified) mean line at half its tabulated ordinates.
  const Section six_a = NacaSection("65A510", table);
  EXPECT_EQ(six_a.x, Percent({0, 0.5, 0.75, 1.25, 2.5, 5, 7.5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70,
                              75, 80, 85, 90, 95, 100}));
  const std::vector<double> half = {0,     0.765, 0.928, 1.183, 1.623, 2.182, 2.650, 3.040, 3.658,
                                    4.127, 4.483, 4.742, 4.912, 4.995, 4.983, 4.863, 4.632, 4.304,
                                    3.899, 3.432, 2.912, 2.352, 1.771, 1.188, 0.604, 0.021};
  const std::vector<double> mean = {0,     0.281, 0.396, 0.603, 1.055, 1.803, 2.432, 2.981, 3.903,
                                    4.651, 5.257, 5.742, 6.120, 6.394, 6.571, 6.651, 6.631, 6.508,
                                    6.274, 5.913, 5.401, 4.673, 3.607, 2.452, 1.226, 0};
  for (std::size_t i = 0; i < half.size(); ++i) {
    EXPECT_NEAR(six_a.thickness[i], 2 * half[i] / 100, 1e-17) << six_a.x[i];
    EXPECT_NEAR(six_a.camber[i], 0.5 * mean[i] / 100, 1e-17) << six_a.x[i];
  }
  EXPECT_EQ(six_a.id_line, "NACA 65A510, a=0.8 (modified) mean line, cli=0.5, 26 stations");
  // Another thickness is the 10 % one scaled, and says so.
  EXPECT_NEAR(NacaSection("65A012", table).thickness[13], 1.2 * 2 * 0.04995, 1e-17);
  EXPECT_EQ(NacaSection("65A012", table).id_line,
            "NACA 65A012 (the 65A010 thickness scaled to 12 %), symmetric section, 26 stations");
  // The percent as the designation gives it, without the noise of 100 * 0.07.
  EXPECT_EQ(NacaSection("65A907", table).id_line,
            "NACA 65A907 (the 65A010 thickness scaled to 7 %), a=0.8 (modified) mean line, cli=0.9, 26 stations");
  EXPECT_EQ(NacaSection("66mod-007", table).id_line,
            "NACA 66mod-007, 66 (mod) thickness 7 %, symmetric section, 18 stations");
  EXPECT_EQ(NacaSection("66mod-099", table).id_line,
            "NACA 66mod-099, 66 (mod) thickness 99 %, symmetric section, 18 stations");

  // The propeller section: 66 (mod) with the a = 0.8 (modified) mean line,
  // or the a-series one asked for.
  NacaOptions a08 = table;
  a08.mean_line_a = 0.8;
  EXPECT_EQ(NacaSection("66mod-212", table).id_line,
            "NACA 66mod-212, 66 (mod) thickness 12 %, a=0.8 (modified) mean line, cli=0.2, 18 stations");
  EXPECT_EQ(NacaSection("66mod-212", a08).id_line,
            "NACA 66mod-212, 66 (mod) thickness 12 %, a=0.8 mean line, cli=0.2, 18 stations");
  EXPECT_NEAR(NacaSection("66mod-212", table).camber[11], 0.2 * 0.06651, 1e-17);  // at 50 %
}

// Between the stations: the thickness rises to its largest and falls behind
// it without a wiggle. The largest is the designation's within 5e-5 of the
// chord: the 65A010's lies between its stations 40 and 45 %, 0.09990 and
// 0.09966 thick, and the spline finds it 0.1000468 there.
TEST(PublishedSectionTest, TheThicknessBetweenTheStationsRisesAndFallsOnce) {
  NacaOptions dense;
  dense.stations = 401;
  for (const char* d : {"66mod-010", "65A010"}) {
    const Section s = NacaSection(d, dense);
    std::size_t top = 0;
    for (std::size_t i = 0; i < s.points(); ++i)
      if (s.thickness[i] > s.thickness[top]) top = i;
    EXPECT_NEAR(s.thickness[top], 0.1, 5e-5) << d;
    for (std::size_t i = 1; i < s.points(); ++i) {
      if (i <= top) EXPECT_GT(s.thickness[i], s.thickness[i - 1]) << d << " " << s.x[i];
      if (i > top) EXPECT_LT(s.thickness[i], s.thickness[i - 1]) << d << " " << s.x[i];
    }
  }
}

// Every mean line's slope is its camber's derivative: a central difference
// of the camber, away from the points where the slope is infinite or the
// curvature is (x = a of an a-series line, the parabolas' joint at p, the
// five-digit line's at r). And the table's mean line keeps the published
// slope at its stations.
TEST(PublishedSectionTest, EverySlopeIsTheDerivativeOfItsMeanLine) {
  const struct {
    const char* designation;
    std::optional<double> a;
    double kink;
  } rows[] = {{"2412", {}, 0.4},  {"6409", {}, 0.4},  {"23012", {}, 0.2025}, {"25012", {}, 0.3910},
              {"16-206", {}, 1},   {"16-512", 0.0, 0}, {"16-206", 0.5, 0.5},  {"16-206", 0.8, 0.8},
              {"16-906", 0.9999, 0.9999},              {"65A210", {}, 0},     {"66mod-512", {}, 0},
              {"66mod-212", 0.8, 0.8}};
  for (const auto& r : rows) {
    NacaOptions options;
    options.mean_line_a = r.a;
    const NacaFamily f = RecognisedNaca(r.designation, options);
    for (int i = 1; i < 200; ++i) {
      const double x = (1 - std::cos(std::numbers::pi * i / 200)) / 2;
      if (std::fabs(x - r.kink) < 1e-4) continue;
      // Steps that shrink towards the edges, where the curvature grows as 1/x.
      const double h = std::min({1e-6, x * 1e-4, (1 - x) * 1e-4});
      const double difference = (f.camber(x + h) - f.camber(x - h)) / (2 * h);
      EXPECT_NEAR(f.slope(x), difference, 1e-6 * std::max(1.0, std::fabs(difference)))
          << r.designation << " a=" << r.a.value_or(-1) << " x=" << x;
    }
  }
  NacaFamily line;
  AEightModifiedMeanLine(line, 1.0);
  const std::vector<double> x = {0, 0.005, 0.5, 0.85, 0.9, 1}, slope = {0.53699, 0.47539, 0.00607, -0.23430, -0.24521, -0.24521};
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_EQ(line.slope(x[i]), slope[i]) << x[i];
  // Infinite at the edges of an a-series line, finite elsewhere.
  NacaOptions a1;
  EXPECT_EQ(RecognisedNaca("16-206", a1).slope(0), HUGE_VAL);
  EXPECT_EQ(RecognisedNaca("16-206", a1).slope(1), -HUGE_VAL);
  a1.mean_line_a = 0.8;
  EXPECT_EQ(RecognisedNaca("16-206", a1).slope(0), HUGE_VAL);
  EXPECT_TRUE(std::isfinite(RecognisedNaca("16-206", a1).slope(1)));
  EXPECT_TRUE(std::isfinite(RecognisedNaca("16-206", a1).slope(0.8)));
}

// NACA 4412 as Report 460 constructs it, worked here from the formulas with
// the slope as a difference of the mean line.
struct Point {
  double x, y;
};
std::pair<Point, Point> Naca4412At(long double x) {
  const auto yc = [](long double u) {
    return u < 0.4L ? 0.04L / 0.16L * (0.8L * u - u * u) : 0.04L / 0.36L * (0.2L + 0.8L * u - u * u);
  };
  const long double yt = 5 * 0.12L *
                         (0.2969L * std::sqrt(x) - 0.1260L * x - 0.3516L * x * x + 0.2843L * x * x * x -
                          0.1015L * x * x * x * x);
  const long double h = 1e-7L;
  const long double slope = x < h ? 0.2L : x > 1 - h ? (yc(x) - yc(x - h)) / h : (yc(x + h) - yc(x - h)) / (2 * h);
  const long double theta = std::atan(slope);
  return {{static_cast<double>(x - yt * std::sin(theta)), static_cast<double>(yc(x) + yt * std::cos(theta))},
          {static_cast<double>(x + yt * std::sin(theta)), static_cast<double>(yc(x) - yt * std::cos(theta))}};
}

TEST(PublishedSectionTest, TheOutlineIsThePublishedConstruction) {
  NacaOptions options;
  options.stations = 81;
  const SectionCoordinates c = NacaCoordinates("4412", options);
  EXPECT_EQ(c.name, "NACA 4412, standard thickness and camber, 81 cosine-spaced stations, thickness across the mean line");
  const std::vector<double> x = CosineStations(81);
  ASSERT_EQ(c.upper_x.size(), x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    const auto [upper, lower] = Naca4412At(x[i]);
    EXPECT_NEAR(c.upper_x[i], upper.x, 1e-9) << i;
    EXPECT_NEAR(c.upper_y[i], upper.y, 1e-9) << i;
    EXPECT_NEAR(c.lower_x[i], lower.x, 1e-9) << i;
    EXPECT_NEAR(c.lower_y[i], lower.y, 1e-9) << i;
  }
  // The upper surface reaches ahead of the leading edge, as published.
  EXPECT_LT(c.upper_x[1], 0);
  // The Selig file: the points above to 7 decimals, the leading edge once.
  const std::string selig = SeligText(c);
  std::istringstream in(selig);
  std::string name;
  std::getline(in, name);
  EXPECT_EQ(name, c.name);
  std::vector<Point> read;
  for (Point p; in >> p.x >> p.y;) read.push_back(p);
  ASSERT_EQ(read.size(), 2 * x.size() - 1);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const auto [upper, lower] = Naca4412At(x[i]);
    const Point& u = read[x.size() - 1 - i];
    EXPECT_NEAR(u.x, upper.x, 5.000001e-8);
    EXPECT_NEAR(u.y, upper.y, 5.000001e-8);
    if (i == 0) continue;
    const Point& l = read[x.size() - 1 + i];
    EXPECT_NEAR(l.x, lower.x, 5.000001e-8);
    EXPECT_NEAR(l.y, lower.y, 5.000001e-8);
  }
  // A symmetric section has the same outline either way.
  const SectionCoordinates s = NacaCoordinates("0012", options);
  for (std::size_t i = 0; i < x.size(); ++i) {
    EXPECT_EQ(s.upper_x[i], x[i]);
    EXPECT_EQ(s.upper_y[i], -s.lower_y[i]);
  }
}

TEST(PublishedSectionTest, RefusesWithItsMessages) {
  const auto refused = [](std::string d, NacaOptions o = {}) { return Refusal([&] { NacaSection(d, o); }); };
  EXPECT_EQ(refused("66-012"),
            "usage: NACA 66-012: the 6-series thicknesses are not made here; the modified 66 thickness of propeller "
            "sections is 66mod-012");
  EXPECT_EQ(refused("63-210"),
            "usage: NACA 63-210: the 6-series thicknesses are not made here; the modified 66 thickness of propeller "
            "sections is 66mod-210");
  const std::string unknown =
      "' is not a NACA designation made here: four digits (2412), five (23012), a 16-series section (16-206), a "
      "6A-series one (65A010) or the modified 66 of propellers (66mod-212)";
  for (const char* d : {"66mod-12", "66mod-2120", "66MOD-212", "64A010", "65A01", "65a010", "6-012", "66-01x"})
    EXPECT_EQ(refused(d), "usage: '" + std::string(d) + unknown) << d;
  EXPECT_EQ(refused("66mod-200"), "usage: NACA 66mod-200 has no thickness");
  EXPECT_EQ(refused("65A200"), "usage: NACA 65A200 has no thickness");
  NacaOptions a;
  a.mean_line_a = 0.8;
  EXPECT_EQ(refused("65A210", a), "usage: the 6A-series has its own mean line, a=0.8 (modified)");
  EXPECT_EQ(refused("2412", a), "usage: an a-series mean line is for 16-series and 66 (mod) sections only");
  a.mean_line_a = 1.5;
  EXPECT_EQ(refused("66mod-012", a), "usage: the mean line's a must be from 0 to 1");  // though uncambered
  NacaOptions closed;
  closed.closed_te = true;
  for (const char* d : {"66mod-212", "65A010", "16-206"})
    EXPECT_EQ(refused(d, closed), "usage: a closed trailing edge is for four- and five-digit sections only") << d;
  // The outline's own limits.
  const auto outline = [](NacaOptions o) { return Refusal([&] { NacaCoordinates("2412", o); }); };
  EXPECT_EQ(outline({4, false, false, {}, 6}), "usage: 5 to 401 stations are allowed");
  EXPECT_EQ(outline({5, false, false, {}, 6}), "done");
  EXPECT_EQ(outline({401, false, false, {}, 6}), "done");
  EXPECT_EQ(outline({402, false, false, {}, 6}), "usage: 5 to 401 stations are allowed");
  EXPECT_EQ(outline({0, true, false, {}, 7}), "done");  // decimals are the data file's alone
  SectionCoordinates c = NacaCoordinates("2412", {5, false, false, {}, 6});
  c.name = "two\nlines";
  EXPECT_EQ(Refusal([&] { SeligText(c); }), "usage: the ID line holds a line end (CR or LF)");
  c.name = "n";
  c.lower_y.pop_back();
  EXPECT_EQ(Refusal([&] { SeligText(c); }),
            "usage: the coordinates need 2 or more points on each surface, as many x as y");
  c = SectionCoordinates{"one", {0}, {0}, {0}, {0}};
  EXPECT_EQ(Refusal([&] { SeligText(c); }),
            "usage: the coordinates need 2 or more points on each surface, as many x as y");
  c = SectionCoordinates{"two", {0, 1}, {0, 0}, {0, 1}, {0, HUGE_VAL}};
  EXPECT_EQ(Refusal([&] { SeligText(c); }), "overflow: a coordinate is beyond the range of a double");
  // Surfaces that do not begin at one point keep both first points.
  c = SectionCoordinates{"blunt", {0, 1}, {0.5, 0}, {0, 1}, {-0.5, 0}};
  EXPECT_EQ(SeligText(c), "blunt\n  1.0000000  0.0000000\n  0.0000000  0.5000000\n  0.0000000 -0.5000000\n"
                          "  1.0000000  0.0000000\n");
}

}  // namespace
}  // namespace tarvelo
