// ImportCoordinates: sections built from formulas come back to 1e-5 of the
// chord however their outline is given; files with the quirks of published
// ones agree with a decomposition written apart from the library; every
// refused file gets its message; the bytes of the section data file.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Point = std::array<double, 2>;
constexpr double kPi = std::numbers::pi;

// A NACA four-digit section: camber m at p, thickness t; the standard
// thickness leaves the trailing edge open, the closed variant shuts it.
struct Naca {
  double m, p, t;
  bool closed = false;
  double Half(double x) const {
    const double x4 = closed ? 0.1036 : 0.1015;
    return 5 * t * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                    x4 * x * x * x * x);
  }
  double Mean(double x) const {
    if (m == 0) return 0;
    return x < p ? m / (p * p) * (2 * p * x - x * x)
                 : m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
  }
};

double Cosine(int i, int n) { return (1 - std::cos(kPi * i / (n - 1))) / 2; }

// How an outline is given: its layout and direction, and the similarity
// that places it (chord, angle, translation).
struct Given {
  const char* what;
  Naca naca;
  int points = 61;  // per surface, cosine-spaced
  bool lednicer = false;
  bool reversed = false;  // the lower surface first
  double chord = 1, degrees = 0, dx = 0, dy = 0;
  int lowerPoints = 0;  // when the lower surface has its own count
};

std::string Text(double v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The coordinate file, in the vertical convention y = mean +- half thickness.
std::string CoordinateFile(const Given& g) {
  const double a = g.degrees * kPi / 180;
  std::vector<std::string> upper, lower;
  for (const double sign : {1.0, -1.0}) {
    const int n = sign < 0 && g.lowerPoints > 0 ? g.lowerPoints : g.points;
    for (int i = 0; i < n; ++i) {
      const double x = Cosine(i, n);
      const double y = g.naca.Mean(x) + sign * g.naca.Half(x);
      const double px = g.chord * (x * std::cos(a) - y * std::sin(a)) + g.dx;
      const double py = g.chord * (x * std::sin(a) + y * std::cos(a)) + g.dy;
      (sign > 0 ? upper : lower).push_back(Text(px) + " " + Text(py) + "\n");
    }
  }
  if (g.reversed) std::swap(upper, lower);
  std::string text = std::string(g.what) + "\n";
  if (g.lednicer) {
    text += std::to_string(upper.size()) + ".  " + std::to_string(lower.size()) + ".\n\n";
    for (const auto& line : upper) text += line;
    text += "\n";
    for (const auto& line : lower) text += line;
    return text;
  }
  for (auto it = upper.rbegin(); it != upper.rend(); ++it) text += *it;
  for (std::size_t i = 1; i < lower.size(); ++i) text += lower[i];
  return text;
}

Section Import(const test::TempDir& dir, const std::string& bytes, ImportOptions options = {}) {
  WriteBytes(dir.file("coords.dat"), bytes);
  return ImportCoordinates(dir.file("coords.dat"), options);
}

// A symmetric section keeps no camber: 1e-12 where the others have 1e-5.
TEST(ImportAccuracyTest, FormulaSectionsComeBackWithin1e5OfTheChord) {
  const Naca n0012{0, 0, 0.12}, n2412{0.02, 0.4, 0.12}, n4412{0.04, 0.4, 0.12}, n4409{0.04, 0.4, 0.09};
  const Given rows[] = {
      {"2412", n2412},
      {"4412", n4412},
      {"4412 closed", {0.04, 0.4, 0.12, true}},
      {"4409 121 points", n4409, 121},
      {"4412 other way", n4412, 61, false, true},
      {"4412 Lednicer", n4412, 61, true},
      {"4412 Lednicer other way", n4412, 61, true, true},
      {"4412 chord 0.1, 10 degrees", n4412, 61, false, false, 0.1, 10, -3, 7},
      {"4412 chord 1000, -10 degrees", n4412, 61, false, true, 1000, -10, 250, -4e3},
      {"2412 Lednicer chord 25, 4 degrees", n2412, 81, true, false, 25, 4, 1e4, 1e4},
      {"0012", n0012},
      {"0012 Lednicer other way, chord 300, 7 degrees", n0012, 80, true, true, 300, 7, 5, 9},
  };
  test::TempDir dir;
  for (const Given& g : rows) {
    const Section s = Import(dir, CoordinateFile(g));
    EXPECT_EQ(s.id_line, g.what);
    ASSERT_EQ(s.points(), 41u) << g.what;
    for (std::size_t i = 0; i < s.points(); ++i) {
      const double x = s.x[i];
      EXPECT_EQ(x, Cosine(static_cast<int>(i), 41)) << g.what;
      EXPECT_NEAR(s.thickness[i], 2 * g.naca.Half(x), 1e-5) << g.what << " x " << x;
      EXPECT_NEAR(s.camber[i], g.naca.Mean(x), g.naca.m == 0 ? 1e-12 : 1e-5) << g.what << " x " << x;
    }
  }
}

TEST(ImportAccuracyTest, StationsByCountOrTheUpperSurfacesOwn) {
  test::TempDir dir;
  // The lower surface, listed first, has points of its own.
  const Given g{"4412", {0.04, 0.4, 0.12}, 61, true, true, 1, 0, 0, 0, 81};
  const Section five = Import(dir, CoordinateFile(g), {5, false});
  ASSERT_EQ(five.points(), 5u);
  EXPECT_EQ(five.x, (std::vector<double>{0, Cosine(1, 5), Cosine(2, 5), Cosine(3, 5), 1}));
  const Section own = Import(dir, CoordinateFile(g), {2, true});
  ASSERT_EQ(own.points(), 61u);
  for (std::size_t i = 0; i < own.points(); ++i) {
    EXPECT_NEAR(own.x[i], Cosine(static_cast<int>(i), 61), 1e-5);
    EXPECT_NEAR(own.thickness[i], 2 * g.naca.Half(own.x[i]), 1e-5);
  }
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
  // Beyond the crossing the thickness is negative; each surface ends at the
  // trailing edge's station on its own end point.
  const Section crossing = ImportCoordinates(std::string(TARVELO_IMPORT_DATA) + "/naca6409-crossing.dat");
  EXPECT_LT(crossing.thickness.back(), 0);
  EXPECT_GT(crossing.thickness[38], 0);
}

TEST(ImportQuirksTest, StationsBeyondASurfacesEndTakeItsEndPoint) {
  // The lower surface stops at 99.4 % of the chord, the trailing-edge point
  // with it: the last two stations lie beyond the lower surface's end.
  std::string text = CoordinateFile({"4412 short", {0.04, 0.4, 0.12}, 61, true});
  text.replace(text.find("61.  61."), 8, "61.  58.");
  for (int i = 0; i < 3; ++i) text.erase(text.rfind('\n', text.size() - 2) + 1);
  test::TempDir dir;
  const Section s = Import(dir, text);
  const auto want = Independent(dir.file("coords.dat"));
  const auto lower = [&](std::size_t i) { return s.camber[i] - s.thickness[i] / 2; };
  for (std::size_t i : {38u, 39u, 40u})
    EXPECT_NEAR(lower(i), want[i][2] - want[i][1] / 2, 1e-7) << i;
  EXPECT_NEAR(lower(39), lower(40), 1e-16);
  EXPECT_GT(std::fabs(lower(38) - lower(39)), 1e-5);
}

TEST(ImportRefusalTest, EveryRefusedFileGetsItsMessage) {
  test::TempDir dir;
  const std::string f = dir.file("coords.dat");
  const std::string neither = "Not a Selig or Lednicer coordinate file: ";
  const std::string few = "few\n1 0\n0.5 0.05\n0.2 0.05\n0 0\n0.2 -0.05\n0.5 -0.05\n1 0\n";
  const std::string turn = "turn\n1 0\n0.75 0.03\n0.5 0.05\n0.6 0.06\n0.25 0.05\n0 0\n"
                           "0.25 -0.05\n0.5 -0.06\n0.75 -0.03\n1 0\n";
  // Upper and lower change places between 40 and 60 % of the chord.
  const std::string crossing = "cross\n1 0\n0.8 0.02\n0.6 0.01\n0.5 -0.01\n0.4 0.02\n0.2 0.04\n"
                               "0.1 0.03\n0 0\n0.1 -0.03\n0.2 -0.04\n0.4 -0.02\n0.5 0.01\n"
                               "0.6 -0.01\n0.8 -0.02\n1 0\n";
  const struct {
    std::string bytes, text;
  } rows[] = {
      {"name\n1 0\n0.5 0.05x\n", "Invalid number in line 3"},
      {"name\r\n\r\n1 0\r\n0.5\t0.05 0\r\n", neither + "line 4 does not hold two numbers"},
      {ReadBytes(test::ExamplePath("naca2412.dat")), neither + "line 2 does not hold two numbers"},
      {"name only\n\n", neither + "no coordinates"},
      {"", neither + "no coordinates"},
      {"lednicer\n3. 3.\n\n0 0\n0.5 0.1\n1 0\n\n0 0\n1 0\n", neither + "line 2 counts 6 points but 5 follow"},
      {few, "A surface has fewer than 5 points"},
      {"four\n4 4\n0 0\n0.2 0.05\n0.5 0.05\n1 0\n0 0\n0.2 -0.05\n0.5 -0.05\n1 0\n",
       "A surface has fewer than 5 points"},
      {"one point, repeated\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n1 0\n",
       "A surface has fewer than 5 points"},
      {turn, "A surface turns back in the chord direction in line 4"},
      {crossing, "The surfaces cross at 46.08 % of the chord"},
  };
  for (const auto& r : rows) {
    WriteBytes(f, r.bytes);
    std::string text = "imported";
    try {
      ImportCoordinates(f);
    } catch (const Error& e) {
      EXPECT_EQ(e.shown(), "  " + std::string(e.what()));
      text = e.what();
    }
    EXPECT_EQ(text, f + " - " + r.text + " !! ") << r.bytes;
  }
  for (const std::pair<std::string, int>& missing : {std::pair{dir.file("missing.dat"), 41}, {f, 4}, {f, 402}}) {
    try {
      ImportCoordinates(missing.first, {missing.second, false});
      ADD_FAILURE();
    } catch (const Error& e) {
      EXPECT_EQ(e.shown(), missing.second == 41 ? "  " + missing.first + " - Input file not found !! "
                                                : "   5 to 401 stations are allowed !! ");
    }
  }
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
