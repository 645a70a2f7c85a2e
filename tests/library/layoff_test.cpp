// The outline with the thickness laid off across the mean line: every
// exported point against the formula computed here by other means (de
// Boor's algorithm, a bisection for the parameter, central differences for
// the mean line's slope), the drawings read back and evaluated, and the
// refusals.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lib/foil.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::DeBoor;

// A section the library fits to NACA 2412 from its formulas.
FoilSpline Naca2412(int count) {
  NacaOptions naca;
  naca.stations = 161;
  return FoilSplineOf(FitSection(NacaSection("2412", naca), count));
}

// The parameter of chord position x: a bisection of x(t).
double ParameterOf(const FoilSpline& foil, double x) {
  double lo = 0, hi = 1;
  for (int i = 0; i < 200 && lo < hi; ++i) {
    const double mid = (lo + hi) / 2;
    if (mid == lo || mid == hi) break;
    (DeBoor(foil.control_x, mid) < x ? lo : hi) = mid;
  }
  return DeBoor(foil.control_x, lo) == x ? lo : hi;
}

// d/dt of a spline by a central difference, one-sided at the ends.
double Slope(const std::vector<double>& c, double t) {
  const double h = 1e-6;
  if (t - h < 0) return (-3 * DeBoor(c, t) + 4 * DeBoor(c, t + h) - DeBoor(c, t + 2 * h)) / (2 * h);
  if (t + h > 1) return (3 * DeBoor(c, t) - 4 * DeBoor(c, t - h) + DeBoor(c, t - 2 * h)) / (2 * h);
  return (DeBoor(c, t + h) - DeBoor(c, t - h)) / (2 * h);
}

struct Exact {
  double x = 0, y = 0;
};

// The formula at parameter t: theta = atan(dyc / dx), the half thickness
// laid off along the normal (side 1 above, -1 below). At the leading edge,
// where x'(t) = 0, the half thickness is 0 and theta does not matter.
Exact Across(const FoilSpline& foil, const OutlineSize& size, double t, double side) {
  std::vector<double> camber;
  for (double c : foil.camber) camber.push_back(size.camber * c);
  const double x = DeBoor(foil.control_x, t), yc = DeBoor(camber, t);
  const double yt = size.thickness * DeBoor(foil.thickness, t) / 2;
  const double theta = std::atan2(Slope(camber, t), Slope(foil.control_x, t));
  return {x - side * yt * std::sin(theta), yc + side * yt * std::cos(theta)};
}

// The coordinate lines of a Selig file, its name line dropped.
std::vector<std::array<double, 2>> SeligPoints(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  std::vector<std::array<double, 2>> points;
  double x = 0, y = 0;
  while (in >> x >> y) points.push_back({x, y});
  return points;
}

ExportOptions Options(OutlineSize size, Layoff layoff, double chord = 0, LengthUnit units = LengthUnit::None) {
  ExportOptions o;
  o.size = size;
  o.layoff = layoff;
  o.chord = chord;
  o.units = units;
  return o;
}

// At a chord of 1000 the seven decimals of Selig are 5e-11 of the chord:
// each point within 1e-9 of the chord of the formula at its station.
TEST(LayoffTest, SeligAcrossIsTheFormulaAtEachStation) {
  const struct {
    int count;
    OutlineSize size;
    std::optional<double> te;
  } rows[] = {{8, {0.12, 0.02}, {}}, {20, {0.12, 0.02}, {}}, {80, {0.15, -0.04}, {}}, {20, {0.12, 0.02}, 0.01}};
  for (const auto& r : rows) {
    const FoilSpline foil = Naca2412(r.count);
    const FoilSpline thick = WithTrailingEdge(foil, r.size, r.te);
    ExportOptions o = Options(r.size, Layoff::Across, 1000, LengthUnit::Millimetre);
    o.te_thickness = r.te;
    o.points = 61;
    const auto points = SeligPoints(Export(foil, "selig", o));
    const std::vector<double> x = CosineStations(61);
    ASSERT_EQ(points.size(), 121u);
    for (std::size_t i = 0; i < points.size(); ++i) {
      const bool upper = i < 61;
      const double xi = upper ? x[60 - i] : x[i - 60];
      const Exact e = Across(thick, r.size, ParameterOf(thick, xi), upper ? 1 : -1);
      EXPECT_NEAR(points[i][0] / 1000, e.x, 1e-9) << r.count << " point " << i;
      EXPECT_NEAR(points[i][1] / 1000, e.y, 1e-9) << r.count << " point " << i;
    }
    // The leading edge once, at x = 0; the surfaces next to it leaning
    // apart along the normal, not at their station.
    EXPECT_EQ(points[60][0], 0);
    EXPECT_NE(points[59][0], points[61][0]);
  }
}

// Without camber, or with none drawn, the normal is vertical: the same
// bytes in every format that takes the lay-off; the default is vertical.
TEST(LayoffTest, WithoutCamberAcrossIsVerticalByteForByte) {
  const FoilSpline symmetric = FoilSplineOf(FitSection(NacaSection("0012", {}), 12));
  const FoilSpline cambered = Naca2412(12);
  for (const char* format : {"selig", "dxf", "svg"}) {
    EXPECT_EQ(Export(symmetric, format, Options({0.12, 0}, Layoff::Across)),
              Export(symmetric, format, Options({0.12, 0}, Layoff::Vertical)))
        << format;
    EXPECT_EQ(Export(cambered, format, Options({0.1, 0}, Layoff::Across, 250, LengthUnit::Inch)),
              Export(cambered, format, Options({0.1, 0}, Layoff::Vertical, 250, LengthUnit::Inch)))
        << format;
    ExportOptions plain;  // the lay-off left as it comes
    plain.size = {0.12, 0.02};
    EXPECT_EQ(Export(cambered, format, plain), Export(cambered, format, Options({0.12, 0.02}, Layoff::Vertical)));
    EXPECT_NE(Export(cambered, format, Options({0.12, 0.02}, Layoff::Across)),
              Export(cambered, format, Options({0.12, 0.02}, Layoff::Vertical)))
        << format;
  }
  // The name line tells the section's thickness and camber either way.
  const std::string across = Export(cambered, "selig", Options({0.12, 0.02}, Layoff::Across));
  const std::string vertical = Export(cambered, "selig", Options({0.12, 0.02}, Layoff::Vertical));
  EXPECT_EQ(across.substr(0, across.find('\n')), vertical.substr(0, vertical.find('\n')));
}

// A DXF read back: group code and value, pair by pair.
std::vector<std::pair<int, std::string>> Groups(const std::string& dxf) {
  std::istringstream in(dxf);
  std::vector<std::pair<int, std::string>> groups;
  std::string code, value;
  while (std::getline(in, code) && std::getline(in, value)) groups.emplace_back(std::stoi(code), value);
  return groups;
}

struct Spline {
  std::string layer;
  int knot_count = 0, point_count = 0;
  std::vector<double> knots, x, y;
};

struct Drawing {
  std::vector<Spline> splines;
  std::vector<std::array<double, 4>> lines;  // x1 y1 x2 y2
};

Drawing ReadDxf(const std::string& dxf) {
  Drawing d;
  std::string entity;
  for (const auto& [code, value] : Groups(dxf)) {
    if (code == 0) {
      entity = value;
      if (entity == "SPLINE") d.splines.emplace_back();
      if (entity == "LINE") d.lines.push_back({});
      continue;
    }
    if (entity == "SPLINE") {
      Spline& s = d.splines.back();
      if (code == 8) s.layer = value;
      if (code == 72) s.knot_count = std::stoi(value);
      if (code == 73) s.point_count = std::stoi(value);
      if (code == 40) s.knots.push_back(std::stod(value));
      if (code == 10) s.x.push_back(std::stod(value));
      if (code == 20) s.y.push_back(std::stod(value));
    } else if (entity == "LINE") {
      const std::map<int, int> at{{10, 0}, {20, 1}, {11, 2}, {21, 3}};
      if (at.count(code)) d.lines.back()[static_cast<std::size_t>(at.at(code))] = std::stod(value);
    }
  }
  return d;
}

// A cubic B-spline on any clamped knot vector at t, by de Boor's algorithm.
double Evaluate(const std::vector<double>& knots, const std::vector<double>& c, double t) {
  std::size_t k = 3;
  while (k + 1 < c.size() && knots[k + 1] <= t) ++k;
  double d[4];
  for (std::size_t j = 0; j <= 3; ++j) d[j] = c[j + k - 3];
  for (std::size_t r = 1; r <= 3; ++r)
    for (std::size_t j = 3; j >= r; --j) {
      const double lo = knots[j + k - 3];
      const double alpha = (t - lo) / (knots[j + 1 + k - r] - lo);
      d[j] = (1 - alpha) * d[j - 1] + alpha * d[j];
    }
  return d[3];
}

// Each surface read back from the DXF lies within 1e-9 of the chord of
// the formula at 3001 parameters and at the middle of every piece; the
// counts agree with the knots and points; the trailing edge's line joins
// the surfaces' ends.
TEST(LayoffTest, DxfAcrossIsWithinItsToleranceEverywhere) {
  const struct {
    int count;
    OutlineSize size;
    std::optional<double> te;
    double chord;
    LengthUnit units;
  } rows[] = {{20, {0.12, 0.02}, {}, 0, LengthUnit::None},
              {80, {0.12, 0.02}, {}, 0, LengthUnit::None},
              {8, {0.2, -0.06}, 0.02, 0, LengthUnit::None},
              {20, {0.12, 0.02}, 0.004, 350, LengthUnit::Millimetre}};
  for (const auto& r : rows) {
    const FoilSpline foil = Naca2412(r.count);
    const FoilSpline thick = WithTrailingEdge(foil, r.size, r.te);
    ExportOptions o = Options(r.size, Layoff::Across, r.chord, r.units);
    o.te_thickness = r.te;
    const double chord = r.chord > 0 ? r.chord : 1;
    const Drawing d = ReadDxf(Export(foil, "dxf", o));
    ASSERT_EQ(d.splines.size(), 2u);
    std::array<std::array<double, 2>, 2> ends{};
    for (const Spline& s : d.splines) {
      const double side = s.layer == "UPPER" ? 1 : -1;
      ASSERT_EQ(s.knot_count, static_cast<int>(s.knots.size())) << r.count;
      ASSERT_EQ(s.point_count, static_cast<int>(s.x.size())) << r.count;
      ASSERT_EQ(s.y.size(), s.x.size());
      ASSERT_EQ(s.knots.size(), s.x.size() + 4);
      // Every interior knot twofold, and at each of the foil's knots.
      for (std::size_t i = 4; i + 4 < s.knots.size(); i += 2) EXPECT_EQ(s.knots[i], s.knots[i + 1]) << i;
      for (int j = 1; j < r.count - 3; ++j) {
        const double knot = static_cast<double>(j) / (r.count - 3);
        EXPECT_TRUE(std::count(s.knots.begin(), s.knots.end(), knot) == 2) << knot;
      }
      std::vector<double> at;
      for (int i = 0; i <= 3000; ++i) at.push_back(i / 3000.0);
      for (std::size_t i = 4; i + 4 < s.knots.size(); i += 2)
        at.push_back((s.knots[i - 1] + s.knots[i]) / 2);
      double largest = 0;
      for (double t : at) {
        const Exact e = Across(thick, r.size, t, side);
        const double dx = Evaluate(s.knots, s.x, t) / chord - e.x, dy = Evaluate(s.knots, s.y, t) / chord - e.y;
        largest = std::max(largest, std::hypot(dx, dy));
      }
      EXPECT_LE(largest, 1e-9) << r.count << " " << s.layer;
      EXPECT_GT(largest, 1e-13) << "not exact: " << r.count << " " << s.layer;
      const Exact end = Across(thick, r.size, 1, side);
      EXPECT_NEAR(s.x.back() / chord, end.x, 1e-12);
      EXPECT_NEAR(s.y.back() / chord, end.y, 1e-12);
      ends[side > 0 ? 0 : 1] = {s.x.back(), s.y.back()};
      EXPECT_EQ(s.x.front(), 0);
    }
    // The section's trailing edge is open (as its formula's is) or opened.
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(d.lines[0], (std::array<double, 4>{ends[0][0], ends[0][1], ends[1][0], ends[1][1]}));
    EXPECT_NE(ends[0][0], ends[1][0]);  // the normal at the trailing edge leans
  }
}

// The numbers the approximation comes to: pieces per knot span and the
// largest error sampled, for a small and the largest section.
TEST(LayoffTest, AcrossSurfacesOfTwentyAndEightyControlPoints) {
  for (int count : {20, 80}) {
    const FoilSpline foil = Naca2412(count);
    const AcrossOutline outline(foil, {0.12, 0.02});
    for (double side : {1.0, -1.0}) {
      const AcrossSurface s = AcrossSurfaceOf(outline, side);
      ASSERT_EQ(s.pieces.size(), static_cast<std::size_t>(count - 3));
      int pieces = 0;
      for (int m : s.pieces) pieces += m;
      EXPECT_EQ(s.spline.x.size(), static_cast<std::size_t>(2 * pieces + 2));
      EXPECT_LE(s.largest_error, kAcrossTolerance);
      RecordProperty("pieces_" + std::to_string(count) + (side > 0 ? "_upper" : "_lower"), pieces);
    }
  }
}

// An SVG's Bezier segments, one per piece of the DXF's spline: each within
// 1e-9 of the chord of the formula at the same parameter.
std::vector<std::array<double, 2>> PathPoints(const std::string& svg, const std::string& id) {
  const std::size_t from = svg.find("d=\"M ", svg.find("id=\"" + id + "\"")) + 5;
  std::istringstream in(svg.substr(from, svg.find('"', from) - from));
  std::vector<std::array<double, 2>> points;
  for (std::string token; in >> token;) {
    const std::size_t comma = token.find(',');
    if (comma != std::string::npos)
      points.push_back({std::stod(token.substr(0, comma)) / 1000, -std::stod(token.substr(comma + 1)) / 1000});
  }
  return points;
}

TEST(LayoffTest, SvgAcrossSegmentsAreThePiecesWithinTheirTolerance) {
  const FoilSpline foil = Naca2412(20);
  const OutlineSize size{0.12, 0.02};
  const ExportOptions o = Options(size, Layoff::Across);
  const Drawing d = ReadDxf(Export(foil, "dxf", o));
  const std::string svg = Export(foil, "svg", o);
  for (const Spline& s : d.splines) {
    const double side = s.layer == "UPPER" ? 1 : -1;
    std::vector<double> breaks{0};
    for (std::size_t i = 4; i + 4 < s.knots.size(); i += 2) breaks.push_back(s.knots[i]);
    breaks.push_back(1);
    const auto p = PathPoints(svg, side > 0 ? "upper" : "lower");
    ASSERT_EQ(p.size(), 3 * (breaks.size() - 1) + 1);
    double largest = 0;
    for (std::size_t seg = 0; seg + 1 < breaks.size(); ++seg) {
      for (int k = 0; k <= 8; ++k) {
        const double u = k / 8.0, v = 1 - u;
        const double w[4] = {v * v * v, 3 * v * v * u, 3 * v * u * u, u * u * u};
        double bx = 0, by = 0;
        for (std::size_t i = 0; i < 4; ++i) {
          bx += w[i] * p[3 * seg + i][0];
          by += w[i] * p[3 * seg + i][1];
        }
        const Exact e = Across(foil, size, breaks[seg] + u * (breaks[seg + 1] - breaks[seg]), side);
        largest = std::max(largest, std::hypot(bx - e.x, by - e.y));
      }
    }
    // Nine decimals of 1000 units: 1e-12 of the chord more.
    EXPECT_LE(largest, 1e-9 + 1e-12) << s.layer;
  }
  // Ahead of the leading edge, the drawing's box holds the surface there.
  double left = 0;
  for (const char* id : {"upper", "lower"})
    for (const auto& q : PathPoints(svg, id)) left = std::min(left, q[0]);
  EXPECT_LT(left, 0);
  const std::size_t box = svg.find("viewBox=\"") + 9;
  EXPECT_NEAR(std::stod(svg.substr(box)) / 1000, left - 0.05, 2e-12);
}

TEST(LayoffTest, RefusalsName) {
  const FoilSpline foil = Naca2412(8);
  const FoilSpline blunt{"blunt", 4, {0, 0, 0.4, 1}, {1, 1, 1, 1}, {0, 1e-20, 0.3, 0.75}, {}};
  const FoilSpline straight{"straight", 4, {0, 0, 0.4, 1}, {1, 1, 1, 1}, {0, 0, 0.3, 0.75}, {}};
  const struct {
    std::function<void()> call;
    std::string refusal;
  } rows[] = {
      {[&] { FindLayoff("normal"); }, "usage: unknown lay-off 'normal': use vertical or across"},
      {[&] { FindLayoff("Across"); }, "usage: unknown lay-off 'Across': use vertical or across"},
      {[&] { FindLayoff(""); }, "usage: unknown lay-off '': use vertical or across"},
      {[&] { Export(foil, "table", Options({}, Layoff::Across)); },
       "usage: the table export writes no outline coordinates: it takes no lay-off across, only vertical"},
      {[&] { Export(foil, "properties", Options({0.12, 0.02}, Layoff::Across)); },
       "usage: the properties export writes no outline coordinates: it takes no lay-off across, only vertical"},
      {[&] { Export(foil, "table", Options({}, Layoff::Vertical)); }, "done"},
      {[&] { Export(foil, "properties", Options({0.12, 0.02}, Layoff::Vertical)); }, "done"},
      {[&] { Export(foil, "dxf", Options({0.12, 0.02}, Layoff::Across)); }, "done"},
      // A blunt nose whose mean line turns through a right angle within
      // 1e-20 of the parameter: no piece follows it. Not turning, it is drawn.
      {[&] { Export(blunt, "dxf", Options({0.1, 1}, Layoff::Across)); },
       "overflow: the outline laid off across the mean line cannot be drawn within 1e-9 of the chord: knot span 1 "
       "of 1 (t from 0 to 1) needs a piece shorter than 2^-40 of it"},
      {[&] { Export(straight, "dxf", Options({0.1, 1}, Layoff::Across)); }, "done"},
  };
  for (const auto& r : rows) EXPECT_EQ(test::Refusal(r.call), r.refusal);
  EXPECT_EQ(FindLayoff("vertical"), Layoff::Vertical);
  EXPECT_EQ(FindLayoff("across"), Layoff::Across);
  EXPECT_STREQ(LayoffName(Layoff::Vertical), "vertical");
  EXPECT_STREQ(LayoffName(Layoff::Across), "across");
  // The rows decide which formats take it.
  std::string takers;
  for (const ExportFormat& f : ExportFormats())
    if (f.takes_layoff) takers += std::string(f.name) + " ";
  EXPECT_EQ(takers, "selig dxf svg step ");
}

}  // namespace
}  // namespace tarvelo
