// Designing with a fitted section: its properties against an independent
// computation from the evaluated outline, a trailing edge set to a
// thickness, and the standard sections the library makes.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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
      "' is not a NACA designation made here: four digits (2412), five (23012) or a 16-series section (16-206)";
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
  EXPECT_EQ(refused("2412", {41, false, false, 0.8, 6}), "usage: an a-series mean line is for 16-series sections only");
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
