// Designing with a fitted section: its properties against an independent
// computation from the evaluated outline, a trailing edge set to a
// thickness, and the standard sections the library makes.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <numbers>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Refusal;

// The outline as FoilSpline::Evaluate gives it, with the trailing edge's
// thickness as asked: the surfaces at chord position x.
struct Sampled {
  const FoilSpline& foil;
  OutlineSize size;
  double added = 0;  // the thickness added per unit of x

  Sampled(const FoilSpline& f, OutlineSize s, double te = -1) : foil(f), size(s) {
    if (te >= 0) added = te - s.thickness * f.thickness.back();
  }
  double Thickness(double x) const { return size.thickness * foil.Evaluate(x).thickness + added * x; }
  double Camber(double x) const { return size.camber * foil.Evaluate(x).camber; }
};

// Area, centroid and second moments about the centroid of the polygon
// through the outline at n cosine-spaced stations per surface (the shoelace
// formulas), counter-clockwise: along the lower surface to the trailing
// edge and back over the upper one.
struct Polygon {
  double area, xc, yc, ixx, iyy, ixy;
};

Polygon Shoelace(const Sampled& s, int n) {
  std::vector<double> x, lower, upper;
  for (int i = 0; i < n; ++i) {
    const double xi = (1 - std::cos(std::numbers::pi * i / (n - 1))) / 2;
    const double t = s.Thickness(xi), c = s.Camber(xi);
    x.push_back(xi);
    lower.push_back(c - t / 2);
    upper.push_back(c + t / 2);
  }
  std::vector<std::array<double, 2>> p;
  for (int i = 0; i < n; ++i) p.push_back({x[i], lower[i]});
  for (int i = n; i-- > 0;) p.push_back({x[i], upper[i]});
  double a = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const auto [x0, y0] = p[i];
    const auto [x1, y1] = p[(i + 1) % p.size()];
    const double cross = x0 * y1 - x1 * y0;
    a += cross;
    sx += (x0 + x1) * cross;
    sy += (y0 + y1) * cross;
    syy += (y0 * y0 + y0 * y1 + y1 * y1) * cross;
    sxx += (x0 * x0 + x0 * x1 + x1 * x1) * cross;
    sxy += (x0 * y1 + 2 * x0 * y0 + 2 * x1 * y1 + x1 * y0) * cross;
  }
  a /= 2;
  const double xc = sx / (6 * a), yc = sy / (6 * a);
  return {a, xc, yc, syy / 12 - a * yc * yc, sxx / 12 - a * xc * xc, sxy / 24 - a * xc * yc};
}

// The polygon's error falls as 1/n^2: Richardson's extrapolation from n and
// 2n - 1 stations (every second one shared) leaves a remainder of higher order.
Polygon Extrapolated(const Sampled& s, int n) {
  const Polygon coarse = Shoelace(s, n), fine = Shoelace(s, 2 * n - 1);
  const auto r = [](double c, double f) { return (4 * f - c) / 3; };
  return {r(coarse.area, fine.area), r(coarse.xc, fine.xc), r(coarse.yc, fine.yc),
          r(coarse.ixx, fine.ixx), r(coarse.iyy, fine.iyy), r(coarse.ixy, fine.ixy)};
}

// The limit of (t/2)^2 / (2x) at the nose: near it the ratio is
// r + a sqrt(x) + b x + ..., so two extrapolations in sqrt(x) halved.
double NoseRadius(const Sampled& s) {
  const auto ratio = [&s](double x) { return std::pow(s.Thickness(x) / 2, 2) / (2 * x); };
  const double h = 1e-8;
  const double r1 = 2 * ratio(h) - ratio(4 * h), r2 = 2 * ratio(4 * h) - ratio(16 * h);
  return (4 * r1 - r2) / 3;
}

// The angle between the surfaces' tangents at the trailing edge, in degrees,
// from one-sided differences extrapolated twice.
double TrailingAngle(const Sampled& s) {
  const auto slope = [&s](double side) {
    const auto y = [&](double x) { return s.Camber(x) + side * s.Thickness(x) / 2; };
    const auto d = [&](double h) { return (y(1) - y(1 - h)) / h; };
    const double h = 1e-3;
    const double d1 = 2 * d(h / 2) - d(h), d2 = 2 * d(h / 4) - d(h / 2);
    return (4 * d2 - d1) / 3;
  };
  return (std::atan(slope(-1)) - std::atan(slope(1))) * 180 / std::numbers::pi;
}

struct Case {
  std::string name;
  FoilSpline foil;
  OutlineSize size;
  double te = -1;  // the trailing edge's thickness asked for, or none
};

std::vector<Case> Cases() {
  const FoilSpline naca2412 = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  // A fit held in memory: 14 control points, a mean line of the a-series.
  const Fit sixteen =
      FitSection(ReadSection(test::ExamplePath("naca16-206-a08.dat")), {14, "exact"});
  return {
      {"naca2412 own size", naca2412, {0.12, 0.02}},
      {"naca2412 te 0.003", naca2412, {0.12, 0.02}, 0.003},
      {"naca2412 thick, cambered down", naca2412, {0.3, -0.05}},
      {"16-206", FoilSplineOf(sixteen), OwnSize(sixteen)},
  };
}

// Area, centroid and moments agree with the polygon through 80,000 points
// per surface (1e-9 off on its own, about 1e-12 once extrapolated) to 1e-10
// of their own size; the nose radius and the trailing edge's angle (in
// degrees) with their extrapolated limits to 1e-6.
TEST(SectionPropertiesTest, AgreeWithTheShoelaceFormulasOfTheSampledOutline) {
  for (const Case& c : Cases()) {
    const OutlineProperties p =
        c.te >= 0 ? SectionProperties(c.foil, c.size, c.te) : SectionProperties(c.foil, c.size);
    const Sampled s(c.foil, c.size, c.te);
    const Polygon g = Extrapolated(s, 40001);
    const auto near = [&](double got, double want, const char* what) {
      EXPECT_NEAR(got, want, 1e-10 * std::fabs(want)) << c.name << ": " << what;
    };
    near(p.area, g.area, "area");
    near(p.centroid_x, g.xc, "centroid_x");
    near(p.centroid_y, g.yc, "centroid_y");
    near(p.ixx, g.ixx, "ixx");
    near(p.iyy, g.iyy, "iyy");
    near(p.ixy, g.ixy, "ixy");
    EXPECT_NEAR(p.le_radius, NoseRadius(s), 1e-6 * p.le_radius) << c.name;
    EXPECT_NEAR(p.te_angle_deg, TrailingAngle(s), 1e-6) << c.name;
    EXPECT_NEAR(p.te_thickness, s.Thickness(1), 1e-17) << c.name;
    if (c.te >= 0) {
      EXPECT_NEAR(p.te_thickness, c.te, 1e-15) << c.name;
    }

    // No sample lies beyond an extreme, and the densest come within 1e-10 of it.
    double thickest = 0, highest = -1, lowest = 1;
    for (int i = 0; i <= 100000; ++i) {
      const double x = i / 100000.0;
      const double t = s.Thickness(x), cm = s.Camber(x);
      EXPECT_LE(t, p.max_thickness + 1e-15) << c.name << " " << x;
      EXPECT_LE(cm, p.max_camber + 1e-15) << c.name << " " << x;
      EXPECT_GE(cm, p.min_camber - 1e-15) << c.name << " " << x;
      thickest = std::max(thickest, t);
      highest = std::max(highest, cm);
      lowest = std::min(lowest, cm);
    }
    EXPECT_NEAR(thickest, p.max_thickness, 1e-10) << c.name;
    EXPECT_NEAR(highest, p.max_camber, 1e-10) << c.name;
    EXPECT_NEAR(lowest, p.min_camber, 1e-10) << c.name;
    EXPECT_NEAR(s.Thickness(p.max_thickness_x), p.max_thickness, 1e-15) << c.name;
    EXPECT_NEAR(s.Camber(p.max_camber_x), p.max_camber, 1e-15) << c.name;
    EXPECT_NEAR(s.Camber(p.min_camber_x), p.min_camber, 1e-15) << c.name;
  }
}

// Sections whose figures are known in closed form: a constant thickness
// tau = T / 2 and a camber k x on the knots and x of the bundled fit. Its
// outline is a parallelogram: area tau, centroid (1/2, k/2), iyy = tau / 12,
// ixx = (k^2 tau + tau^3) / 12, ixy = k tau / 12; the nose is blunt and
// the surfaces leave the trailing edge parallel.
TEST(SectionPropertiesTest, AParallelogramHasItsFiguresInClosedForm) {
  FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  for (double k : {0.0, 0.3, -0.2}) {
    for (std::size_t j = 0; j < foil.control_x.size(); ++j) {
      foil.thickness[j] = 0.5;
      foil.camber[j] = k * foil.control_x[j];
    }
    const double T = 0.4, tau = T / 2;
    const OutlineProperties p = SectionProperties(foil, {T, k == 0 ? 0.0 : 1.0});
    const double eps = 1e-15;
    EXPECT_NEAR(p.area, tau, eps) << k;
    EXPECT_NEAR(p.centroid_x, 0.5, eps) << k;
    EXPECT_NEAR(p.centroid_y, k / 2, eps) << k;
    EXPECT_NEAR(p.iyy, tau / 12, eps) << k;
    EXPECT_NEAR(p.ixx, (k * k * tau + tau * tau * tau) / 12, eps) << k;
    EXPECT_NEAR(p.ixy, k * tau / 12, eps) << k;
    EXPECT_EQ(p.le_radius, HUGE_VAL) << k;
    EXPECT_NEAR(p.te_angle_deg, 0, 1e-12) << k;
    EXPECT_EQ(p.te_thickness, tau) << k;
    EXPECT_NEAR(p.max_thickness, tau, eps) << k;
    EXPECT_NEAR(p.max_camber, std::max(k, 0.0), eps) << k;
    EXPECT_EQ(p.max_camber_x, k > 0 ? 1 : 0) << k;
    EXPECT_NEAR(p.min_camber, std::min(k, 0.0), eps) << k;
    EXPECT_EQ(p.min_camber_x, k < 0 ? 1 : 0) << k;
  }
}

// A figure the double range cannot hold is refused, naming it, rather than
// given as infinite or NaN. A constant thickness t has ixx = t^3 / 12,
// whose cube overflows from about 5.6e102 on; the nose radius of a pointed
// nose squares its thickness, and a chord length scales ixx by its fourth
// power.
TEST(SectionPropertiesTest, AFigureBeyondTheRangeOfADoubleIsRefusedByName) {
  // Constant thickness t, camber rising as c x.
  const auto constant = [](double t, double c) {
    return FoilSpline{"c", 4, {0, 0, 1.0 / 3, 1}, {t, t, t, t}, {0, 0, c / 3, c}, {}};
  };
  // Thickness rising as 3e200 x^(1/2) at the nose: t^2 / 8 overflows.
  const FoilSpline pointed{"p", 4, {0, 0, 1.0 / 3, 1}, {0, 3e200, 3e200, 3e200}, {0, 0, 0, 0}, {}};
  const std::string ixx = "overflow: the section property ixx is beyond the range of a double";
  const struct {
    FoilSpline foil;
    OutlineSize size;
    std::string refusal;
  } rows[] = {
      {constant(5e102, 0), {1, 0}, "done"},
      {constant(6e102, 0), {1, 0}, ixx},
      {constant(-6e102, 0), {1, 0}, ixx},
      // (camber - centroid_y)^2, up to (c / 2)^2, overflows above about 2.7e154.
      {constant(1, 2.6e154), {1, 1}, "done"},
      {constant(1, 2.8e154), {1, 1}, ixx},
      {constant(1e110, 1e110), {1, 1}, ixx},
      {pointed, {1, 0}, "overflow: the section property le_radius is beyond the range of a double"},
  };
  for (const auto& r : rows) {
    OutlineProperties p;
    EXPECT_EQ(Refusal([&] { p = SectionProperties(r.foil, r.size); }), r.refusal) << r.foil.thickness[1];
    for (const PropertyField& f : PropertyFields()) {
      if (f.value != &OutlineProperties::le_radius) EXPECT_TRUE(std::isfinite(p.*f.value)) << f.key;
    }
  }
  // At its own size the largest finite ixx, about 1.04e307, is written; a
  // chord of 2 makes it 16 times that, 1.67e308, and one of 3 81 times.
  ExportOptions options;
  options.size = {1, 0};
  std::string bytes;
  EXPECT_EQ(Refusal([&] { bytes = Export(constant(5e102, 0), "properties", options); }), "done");
  EXPECT_NE(bytes.find("\"ixx\": 1.04"), std::string::npos) << bytes;
  options.chord = 2;
  EXPECT_EQ(Refusal([&] { Export(constant(5e102, 0), "properties", options); }), "done");
  options.chord = 3;
  EXPECT_EQ(Refusal([&] { Export(constant(5e102, 0), "properties", options); }),
            "overflow: the section property ixx at a chord of 3 is beyond the range of a double");
  options.chord = 1e6;
  EXPECT_EQ(Refusal([&] { Export(constant(1e70, 0), "properties", options); }), "done");
}

// A section drawn inside out, thickness below 0 everywhere, has a negative
// area; its centroid and its camber figures are still 0 where they are
// nothing, never -0.
TEST(SectionPropertiesTest, ASectionInsideOutHasNoNegativeZero) {
  const FoilSpline foil{"inside out", 4, {0, 0, 1.0 / 3, 1}, {-0.5, -0.5, -0.5, -0.5}, {0, 0, 0, 0}, {}};
  const OutlineProperties p = SectionProperties(foil, {0.4, 0});
  EXPECT_NEAR(p.area, -0.2, 1e-15);
  EXPECT_NEAR(p.centroid_x, 0.5, 1e-15);
  for (const double v : {p.centroid_y, p.ixy, p.max_camber, p.min_camber}) {
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(std::signbit(v));
  }
  ExportOptions options;
  options.size = {0.4, 0};
  const std::string json = Export(foil, "properties", options);
  EXPECT_NE(json.find("\"centroid_y\": 0,\n"), std::string::npos) << json;
  EXPECT_EQ(json.find("-0,"), std::string::npos) << json;
}

// A symmetric section has no camber, its centroid on the chord and no product
// moment: 0 exactly, at any thickness, and never -0.
TEST(SectionPropertiesTest, ASymmetricSectionHasExactlyNoCamberNorProductMoment) {
  const Fit fit = FitSection(ReadSection(test::ExamplePath("naca0012.dat")), 8);
  const FoilSpline foil = FoilSplineOf(fit);
  EXPECT_EQ(OwnSize(fit).camber, 0.0);
  for (const OutlineSize size : {OwnSize(fit), OutlineSize{0.2, 0}}) {
    const OutlineProperties p = SectionProperties(foil, size);
    for (const double v : {p.max_camber, p.min_camber, p.centroid_y, p.ixy}) {
      EXPECT_EQ(v, 0.0);
      EXPECT_FALSE(std::signbit(v));
    }
    EXPECT_EQ(p.max_camber_x, 0);
    EXPECT_GT(p.ixx, 0);
  }
  // NACA 0012's own figures as its fit gives them: the formula's nose radius
  // is 1.1019 t^2 = 0.015867 and its trailing-edge angle 15.96 degrees.
  const OutlineProperties own = SectionProperties(foil, OwnSize(fit));
  EXPECT_NEAR(own.max_thickness, 0.12, 2e-4);
  EXPECT_NEAR(own.max_thickness_x, 0.30, 0.01);
  EXPECT_NEAR(own.le_radius, 0.015867, 5e-4);
  EXPECT_NEAR(own.te_angle_deg, 15.96, 0.5);
  EXPECT_NEAR(own.area, 0.0821, 2e-4);
}

// The trailing edge is set on the control points: each thickness ordinate
// moves by (D - its own trailing-edge thickness) x_j, the knots and x stay.
TEST(TrailingEdgeTest, SetOnTheControlPointsToTheThicknessAsked) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  const OutlineSize size{0.12, 0.02};
  const OutlineSpline own = SectionOutline(foil, size);
  for (const double te : {0.003, 0.0, 0.001, 0.12}) {
    const OutlineSpline set = SectionOutline(foil, size, te);
    EXPECT_EQ(set.knots, own.knots);
    EXPECT_EQ(set.x, own.x);
    EXPECT_NEAR(set.upper.back() - set.lower.back(), te, 1e-12) << te;
    const double own_te = own.upper.back() - own.lower.back();
    for (std::size_t j = 0; j < own.x.size(); ++j) {
      EXPECT_NEAR((set.upper[j] - set.lower[j]) - (own.upper[j] - own.lower[j]), (te - own_te) * own.x[j], 1e-15);
      EXPECT_NEAR(set.upper[j] + set.lower[j], own.upper[j] + own.lower[j], 1e-15);
    }
  }
  // Every outline format draws it; the table, normalised, takes none.
  ExportOptions own_options;
  own_options.size = size;
  ExportOptions options = own_options;
  options.te_thickness = 0.003;
  const FoilSpline drawn = [&] {
    FoilSpline f = foil;
    for (std::size_t j = 0; j < f.thickness.size(); ++j)
      f.thickness[j] += (0.003 / 0.12 - foil.thickness.back()) * f.control_x[j];
    return f;
  }();
  EXPECT_EQ(Export(foil, "dxf", options), ExportDxf(drawn, size));
  EXPECT_EQ(Export(foil, "svg", options), ExportSvg(drawn, size));
  EXPECT_EQ(Export(foil, "selig", options), ExportSelig(drawn, size, 81));
  EXPECT_NE(Export(foil, "properties", options), Export(foil, "properties", own_options));
  EXPECT_EQ(Export(foil, "properties", options).find("\"te_thickness\": 0.003,\n") != std::string::npos, true);

  const std::string range = "usage: the trailing-edge thickness must be from 0 to the largest thickness";
  const struct {
    std::function<void()> call;
    std::string refusal;
  } rows[] = {
      {[&] { SectionOutline(foil, size, -1e-9); }, range},
      {[&] { SectionOutline(foil, size, 0.12000000000000001); }, range},
      {[&] { SectionProperties(foil, size, std::nan("")); }, range},
      {[&] { SectionProperties(foil, {0, 0}, 0.0); },
       "usage: the largest thickness must be above 0 and at most 1 (a fraction of the chord)"},
      {[&] {
         ExportOptions table;
         table.te_thickness = 0.003;
         Export(foil, "table", table);
       },
       "usage: the table export takes no trailing-edge thickness"},
  };
  for (const auto& r : rows) EXPECT_EQ(Refusal(r.call), r.refusal);
}

// A .FOI whose thickness curve goes below 0 ahead of 99 % of the chord is
// inside out there: refused, naming the file, where and how far. Rounding
// to the file's five decimals moves a curve by at most 5e-6, so a curve
// down to -5e-6 is taken, its ordinates taken as the file's decimals hold
// them (-0.000005 is -0.00001 written, -0.0000049999 is 0), so that what is
// read is read again once written; behind 99 % an import keeps a crossing,
// and so does the reader. Below, x(t) = t and the thickness is nearly
// linear in x.
TEST(NegativeThicknessTest, AFoilFileInsideOutAheadOfTheTrailingEdgeIsRefused) {
  const auto foi = [](const std::string& t0, const std::string& t1, const std::string& t2, const std::string& t3) {
    return "f\r\n 4 4\r\n 0 " + t0 + " 0\r\n 0.3333333333333333 " + t1 + " 0\r\n 0.6666666666666666 " + t2 +
           " 0\r\n 1 " + t3 + " 0\r\n";
  };
  const std::string crossing = ": the surfaces cross and the outline would be inside out";
  const struct {
    std::string text;
    std::string refusal;
  } rows[] = {
      {foi("-0.0000049999", "0.5", "0.5", "0.1"), "done"},
      {foi("-0.000005", "0.5", "0.5", "0.1"), "bad_data: n.FOI: the thickness goes below 0 at x = 0, to -1e-05" + crossing},
      // Zero at x = 0.99, crossing behind it: kept.
      {foi("0.99", "0.6566666666666666", "0.3233333333333333", "-0.01"), "done"},
      // 1e-5 lower, and rounded to five decimals: -1.0097e-5 at 0.99.
      {foi("0.98999", "0.6566566666666666", "0.3233233333333333", "-0.01001"),
       "bad_data: n.FOI: the thickness goes below 0 at x = 0.99, to -1.0097e-05" + crossing},
      // A negative control point alone, the curve above 0: taken.
      {foi("0", "0.4", "-0.1", "0.4"), "done"},
      {foi("0", "0.4", "-0.6", "0.4"), "bad_data: n.FOI: the thickness goes below 0 at x = 0.639587, to -0.0610308" + crossing},
      {foi("-0.5", "-0.5", "-0.5", "-0.5"), "bad_data: n.FOI: the thickness goes below 0 at x = 0, to -0.5" + crossing},
  };
  test::TempDir dir;
  for (const auto& r : rows) {
    EXPECT_EQ(Refusal([&] { ReadFoilText(r.text, "n.FOI"); }), r.refusal) << r.text;
    test::WriteBytes(dir.file("n.FOI"), r.text);
    const std::string file = Refusal([&] { ReadFoilFile(dir.file("n.FOI")); });
    EXPECT_EQ(file, r.refusal == "done" ? "done" : "bad_data: " + dir.file("n.FOI") + r.refusal.substr(15)) << r.text;
  }
}

// A fit with too many control points for its data swings between them: its
// thickness goes below 0, and its .FOI, which every reader would refuse, is
// not made. The counts below it make one that reads back.
TEST(NegativeThicknessTest, AFitInsideOutIsNotWrittenAsAFoilFile) {
  const Section section = ReadSection(test::ExamplePath("naca0012.dat"));
  for (int n = 4; n <= 23; ++n) {
    const std::string bytes = FoilFileBytes(FitSection(section, n));
    EXPECT_EQ(Refusal([&] { ReadFoilText(bytes, "n.FOI"); }), "done") << n;
  }
  EXPECT_EQ(Refusal([&] { FoilFileBytes(FitSection(section, 24)); }),
            "bad_data: the fitted thickness goes below 0 at x = 0.000419803, to -764.003: its outline would be inside "
            "out there, and its .FOI refused");
  test::TempDir dir;
  EXPECT_EQ(Refusal([&] { WriteFoilFile(dir.file("w.FOI"), FitSection(section, 24)); }).substr(0, 40),
            "bad_data: the fitted thickness goes belo");
  EXPECT_FALSE(std::filesystem::exists(dir.file("w.FOI")));
}

// The a-series mean line against references in long double. For a up to
// 0.999, the report's own form, whose cancellation costs there at most
// 1e-19 / (1 - a). Nearer 1, with e = 1 - a, the report's bracket is
// -D(1 - x) + D(1) (1 - x) - x ln x - x (e ln e / 2 - e / 4), D(u) being
// the difference quotient (F(u) - F(u - e)) / e of F(u) = u^2 ln u / 2 -
// u^2 / 4, taken as its Taylor series F'(u) - e F''(u) / 2 + sum from k = 3
// of e (e / u)^(k-2) / (k (k-1) (k-2)) where it converges fast (u > 64 e),
// and as the quotient itself where its terms are as small as e. Every
// station within 1e-14 of the chord, a thousandth of the 1e-11 (1e-9 %)
// the README claims, for a from 0 to the last double below 1.
long double Quotient(long double u, long double e) {
  const auto f = [](long double v) { return v == 0 ? 0.0L : v * v * (0.5L * std::log(std::fabs(v)) - 0.25L); };
  if (u <= 64 * e) return (f(u) - f(u - e)) / e;
  long double sum = u * std::log(u) - e / 2 * (std::log(u) + 1), ratio = 1;
  for (int k = 3; k < 40; ++k) {
    ratio *= e / u;
    sum += e * ratio / (static_cast<long double>(k) * (k - 1) * (k - 2));
  }
  return sum;
}

long double XLogX(long double v) { return v == 0 ? 0.0L : v * std::log(std::fabs(v)); }

long double ReportMeanLine(long double x, long double a, long double cli, long double pi) {
  const auto x2logx = [](long double v) { return v == 0 ? 0.0L : v * v * std::log(std::fabs(v)); };
  const long double g = -1 / (1 - a) * ((a == 0 ? 0 : a * a * (0.5L * std::log(a) - 0.25L)) + 0.25L);
  const long double h = 1 / (1 - a) * (0.5L * x2logx(1 - a) - 0.25L * (1 - a) * (1 - a)) + g;
  const long double bracket =
      0.5L * x2logx(a - x) - 0.5L * x2logx(1 - x) + 0.25L * (1 - x) * (1 - x) - 0.25L * (a - x) * (a - x);
  return cli / (2 * pi * (a + 1)) * (bracket / (1 - a) - XLogX(x) + g - h * x);
}

TEST(NacaSectionTest, TheMeanLineOfEveryAIsWithinItsPrecisionUpToAEqualOne) {
  const long double pi = 3.141592653589793238462643383279502884L, cli = 0.2L;
  for (const double a : {0.0, 0.3, 0.5, 0.8, 0.999, 1 - 1e-6, 1 - 1e-9, 1 - 1e-12, std::nextafter(1.0, 0.0), 1.0}) {
    NacaOptions options;
    options.mean_line_a = a;
    const Section section = NacaSection("16-206", options);
    const long double e = 1.0L - a;
    for (std::size_t i = 0; i < section.x.size(); ++i) {
      const long double x = section.x[i];
      long double reference = 0;
      if (e == 0)
        reference = -cli / (4 * pi) * (XLogX(1 - x) + XLogX(x));
      else if (e >= 1e-3L)
        reference = ReportMeanLine(x, a, cli, pi);
      else
        reference = cli / (2 * pi * (2 - e)) *
                    (-Quotient(1 - x, e) + Quotient(1, e) * (1 - x) - XLogX(x) - x * (0.5L * XLogX(e) - 0.25L * e));
      EXPECT_NEAR(section.camber[i], static_cast<double>(reference), 1e-14) << "a = " << a << ", x = " << section.x[i];
    }
  }
}

// The ID line gives a as written, never -0.0, and an exponent as it is.
TEST(NacaSectionTest, TheMeanLineInTheIdLine) {
  const struct {
    double a;
    std::string id;
  } rows[] = {{-0.0, "a=0.0"}, {0.0, "a=0.0"}, {1.0, "a=1.0"}, {0.8, "a=0.8"}, {1e-7, "a=1e-07"}};
  for (const auto& r : rows) {
    NacaOptions options;
    options.mean_line_a = r.a;
    EXPECT_EQ(NacaSection("16-206", options).id_line,
              "NACA 16-206 thickness, " + r.id + " mean line, cli=0.2, 41 cosine-spaced stations");
  }
}

// Every table of a DXF drawing declares how many records it holds (group
// 70 after its name); readers size their arrays by it. Read back whole: an
// open trailing edge adds the layer TE, a closed one has none.
TEST(DxfTablesTest, EachTableHoldsAsManyRecordsAsItDeclares) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  for (const bool closed : {false, true}) {
    ExportOptions options;
    options.size = {0.12, 0.02};
    if (closed) options.te_thickness = 0.0;
    std::istringstream dxf(Export(foil, "dxf", options));
    std::vector<std::pair<std::string, std::string>> groups;
    for (std::string code, value; std::getline(dxf, code) && std::getline(dxf, value);) {
      const auto trim = [](std::string v) {
        v.erase(0, v.find_first_not_of(' '));
        if (!v.empty() && v.back() == '\r') v.pop_back();
        return v;
      };
      groups.emplace_back(trim(code), trim(value));
    }
    std::map<std::string, std::pair<int, int>> tables;  // declared, held
    std::vector<std::string> layers;
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
      if (groups[i] != std::pair<std::string, std::string>{"0", "TABLE"}) continue;
      const std::string name = groups[i + 1].second;
      std::size_t j = i + 2;
      while (groups[j].first != "70") ++j;
      const int declared = std::stoi(groups[j].second);
      int held = 0;
      for (; groups[j].second != "ENDTAB"; ++j) {
        if (groups[j].first == "0" && groups[j].second == name) ++held;
        if (name == "LAYER" && groups[j].first == "2") layers.push_back(groups[j].second);
      }
      tables[name] = {declared, held};
    }
    EXPECT_EQ(tables.size(), 9u) << closed;
    for (const auto& [name, counts] : tables) EXPECT_EQ(counts.first, counts.second) << name << " " << closed;
    const std::vector<std::string> open = {"0", "UPPER", "LOWER", "TE"};
    EXPECT_EQ(layers, std::vector<std::string>(open.begin(), open.end() - (closed ? 1 : 0)));
  }
}

// No count of control points reaches the tolerance, and every count
// deviates alike: a camber of 2 % at x = 0, where each fit's camber is 0.
// The fewest of the counts with the smallest error is taken.
TEST(CountTieTest, TheFewestOfEqualErrorsIsTaken) {
  Section section = ReadSection(test::ExamplePath("naca2412.dat"));
  section.camber.front() = 0.02;
  for (const ErrorMeasure measure : {ErrorMeasure::MaxDeviation}) {
    CountOptions options;
    options.measure = measure;
    const CountChoice choice = FewestControlPoints(section, options);
    EXPECT_FALSE(choice.reached);
    EXPECT_EQ(choice.control_points, 4);
    EXPECT_EQ(choice.fit.camber.max_deviation, FitSection(section, 20).camber.max_deviation);
  }
}

// The outline deviation passes over points that cannot be the farthest and
// the count search gives a count up once it misses: the figures are still
// those of measuring every point of every count, to the last bit (measured
// so on the bundled outline before).
TEST(OutlineDeviationTest, TheFiguresOfMeasuringEveryPointOfEveryCount) {
  const ImportedSection imported = ImportOutline(test::ExamplePath("coordinates/naca4412.dat"));
  const struct {
    int count;
    double deviation, x;
    bool upper;
  } fits[] = {{5, 0.0006554903829567016, 0.320816, true},
              {8, 0.0002552295400557866, 0.473832, false},
              {12, 9.892091089286142e-05, 0.37059, false},
              {20, 3.292586415877145e-05, 0.000685, true}};
  for (const auto& f : fits) {
    const OutlineDeviation d = OutlineDeviationOf(FitSection(imported.section, f.count), imported);
    EXPECT_EQ(d.deviation, f.deviation) << f.count;
    EXPECT_EQ(d.x, f.x) << f.count;
    EXPECT_EQ(d.upper, f.upper) << f.count;
  }
  // Every count fitted and measured whole, chosen as the search says: the
  // fewest the data carry within the tolerance; else, among those the data
  // carry, the smallest error; else the smallest stray; the fewest on a tie.
  const auto everyCount = [&](double tolerance, const char* placement) {
    struct Whole {
      int count = 0;
      bool reached = false;
      double error = 0, stray = 0;
      bool carried = false;
    } best;
    for (int count = 4; count <= 40; ++count) {
      const Fit fit = FitSection(imported.section, FitOptions{count, placement});
      const OutlineDeviation d = OutlineDeviationOf(fit, imported);
      Whole w{count, false, std::max(d.deviation, d.between), StrayRatio(fit, tolerance), false};
      w.carried = w.stray <= 1 && CheckNose(fit, imported).added.empty();
      if (w.carried && w.error <= tolerance) return Whole{count, true, w.error, w.stray, true};
      if (best.count == 0 || (w.carried && !best.carried) ||
          (w.carried == best.carried && (w.carried ? w.error < best.error : w.stray < best.stray)))
        best = w;
    }
    return best;
  };
  const struct {
    double tolerance;
    const char* placement;
    int count;  // as measured so before
  } searches[] = {{1e-3, "window", 5}, {1e-3, "exact", 5}, {1e-4, "window", 10}, {1e-4, "exact", 10},
                  {3e-5, "window", 0}, {3e-5, "exact", 0}, {1e-9, "window", 0},  {1e-9, "exact", 0}};
  for (const auto& r : searches) {
    CountOptions options{r.tolerance, ErrorMeasure::OutlineDeviation, r.placement, 40};
    const CountChoice choice = FewestControlPoints(imported, options);
    const auto whole = everyCount(r.tolerance, r.placement);
    EXPECT_EQ(choice.control_points, whole.count) << r.tolerance << r.placement;
    if (r.count != 0) EXPECT_EQ(choice.control_points, r.count) << r.tolerance << r.placement;
    EXPECT_EQ(choice.reached, whole.reached) << r.tolerance << r.placement;
    EXPECT_EQ(choice.error, whole.error) << r.tolerance << r.placement;
    EXPECT_EQ(choice.carried, whole.carried) << r.tolerance << r.placement;
  }
}

// The ID lines name the section and its stations; the stations are those
// the file prints, and the values the formulas' there (checked against the
// formulas themselves by the Python suite).
TEST(NacaSectionTest, NamesTheSectionAndTakesTheStationsTheFilePrints) {
  const struct {
    std::string designation;
    NacaOptions options;
    std::string id;
  } rows[] = {
      {"2412", {}, "NACA 2412, standard thickness and camber, 41 cosine-spaced stations"},
      {"0012", {41, true, true, {}, 6}, "NACA 0012, symmetric section, closed trailing edge, 26 stations"},
      {"23012", {7, false, false, {}, 4}, "NACA 23012, standard thickness and camber, 7 cosine-spaced stations"},
      {"16-206", {401, false, false, 0.8, 6}, "NACA 16-206 thickness, a=0.8 mean line, cli=0.2, 401 cosine-spaced stations"},
      {"16-512", {5, false, false, {}, 6}, "NACA 16-512 thickness, a=1.0 mean line, cli=0.5, 5 cosine-spaced stations"},
      {"16-009", {41, true, false, 0.0, 6}, "NACA 16-009, symmetric section, 26 stations"},
  };
  test::TempDir dir;
  for (const auto& r : rows) {
    const Section s = NacaSection(r.designation, r.options);
    EXPECT_EQ(s.id_line, r.id);
    const std::size_t n = r.options.table_stations ? 26 : static_cast<std::size_t>(r.options.stations);
    ASSERT_EQ(s.points(), n);
    EXPECT_EQ(s.x.front(), 0);
    EXPECT_EQ(s.x.back(), 1);
    test::WriteBytes(dir.file("s.dat"), SectionFileText(s, r.options.decimals));
    const Section back = ReadSection(dir.file("s.dat"));
    EXPECT_EQ(back.x, s.x) << r.id;  // to the bit
    const double half_unit = 0.5 * std::pow(10, -r.options.decimals) / 100;
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_NEAR(back.thickness[i], s.thickness[i], 2 * half_unit + 1e-16) << r.id << " " << i;
      EXPECT_NEAR(back.camber[i], s.camber[i], half_unit + 1e-16) << r.id << " " << i;
      EXPECT_NEAR(s.x[i], (1 - std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1))) / 2,
                  r.options.table_stations ? 1 : half_unit + 1e-16);
    }
    if (r.id.find("symmetric") != std::string::npos) {
      for (double c : s.camber) EXPECT_EQ(c, 0.0);
    }
  }
  // The table's stations, and the closed trailing edge.
  const Section table = NacaSection("0012", {41, true, true, {}, 6});
  EXPECT_EQ(table.x, (std::vector<double>{0, 0.005, 0.0075, 0.0125, 0.025, 0.05, 0.075, 0.1, 0.15, 0.2,
                                          0.25, 0.3, 0.35, 0.4, 0.45, 0.5, 0.55, 0.6, 0.65, 0.7, 0.75,
                                          0.8, 0.85, 0.9, 0.95, 1}));
  EXPECT_NEAR(table.thickness.back(), 0, 1e-16);
  EXPECT_NEAR(NacaSection("0012", {41, true, false, {}, 6}).thickness.back(), 0.00252, 1e-16);
}

TEST(NacaSectionTest, RefusesWithItsMessages) {
  const auto refused = [](std::string d, NacaOptions o = {}) { return Refusal([&] { NacaSection(d, o); }); };
  const std::string unknown =
      "' is not a NACA designation made here: four digits (2412), five (23012), a 16-series section (16-206), a "
      "6A-series one (65A010) or the modified 66 of propellers (66mod-212)";
  EXPECT_EQ(refused("2x12"), "usage: '2x12" + unknown);
  EXPECT_EQ(refused("241"), "usage: '241" + unknown);
  EXPECT_EQ(refused("NACA 2412"), "usage: 'NACA 2412" + unknown);
  EXPECT_EQ(refused("16-2060"), "usage: '16-2060" + unknown);
  EXPECT_EQ(refused("2400"), "usage: NACA 2400 has no thickness");
  EXPECT_EQ(refused("16-200"), "usage: NACA 16-200 has no thickness");
  const std::string position = " the camber (first digit) and its position (second) are 0 together or not at all";
  EXPECT_EQ(refused("2012"), "usage: NACA 2012:" + position);
  EXPECT_EQ(refused("0412"), "usage: NACA 0412:" + position);
  const std::string five = ": the five-digit mean lines are 210 to 250 (design lift coefficient 0.3, not reflexed)";
  for (const char* d : {"43012", "20012", "26012", "23112"}) EXPECT_EQ(refused(d), "usage: NACA " + std::string(d) + five);
  EXPECT_EQ(refused("2412", {41, false, false, 0.8, 6}), "usage: an a-series mean line is for 16-series and 66 (mod) sections only");
  EXPECT_EQ(refused("16-206", {41, false, true, {}, 6}),
            "usage: a closed trailing edge is for four- and five-digit sections only");
  EXPECT_EQ(refused("16-206", {41, false, false, 1.0000001, 6}), "usage: the mean line's a must be from 0 to 1");
  EXPECT_EQ(refused("16-206", {41, false, false, std::nan(""), 6}), "usage: the mean line's a must be from 0 to 1");
  EXPECT_EQ(refused("2412", {4, false, false, {}, 6}), "usage: 5 to 401 stations are allowed");
  EXPECT_EQ(refused("2412", {402, false, false, {}, 6}), "usage: 5 to 401 stations are allowed");
  EXPECT_EQ(refused("2412", {0, true, false, {}, 6}), "done");  // the table's stations need no count
  EXPECT_EQ(refused("2412", {41, false, false, {}, 5}), "usage: a section file has 4 or 6 decimals");
  EXPECT_EQ(Refusal([] { SectionFileText(NacaSection("2412"), 3); }), "usage: a section file has 4 or 6 decimals");
}

}  // namespace
}  // namespace tarvelo
