// Reference values of the engine. Where the arithmetic is fixed (single-
// precision divisors, loop orders) the values are compared to the digits
// tabulated here; a tolerance is half a unit of the last digit given.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bspline/bspline.h"
#include "bspline/exact.h"
#include "bspline/fitting.h"
#include "screens/screens.h"
#include "state/state.h"

namespace tarvelo {
namespace {

Array1<double> Knots(int nv) {
  Array1<double> tk;
  tk.allocate(1, nv + 4);
  KNOTS(4, nv, tk);
  return tk;
}

Array2<double> Basis(int nv, double t1) {
  Array1<double> tk = Knots(nv);
  Array2<double> b;
  b.allocate(1, nv, 0, 4);
  COXD(4, nv, tk, t1, b);
  return b;
}

// Column 4 of b against tabulated values: zeros exactly, the others to half a
// unit of the last digit given.
void ExpectColumn4(const Array2<double>& b, const std::vector<double>& want, double tol) {
  for (int i = 1; i <= b.hi1(); ++i) {
    if (want[i - 1] == 0)
      EXPECT_EQ(b(i, 4), 0.0) << "row " << i;
    else
      EXPECT_NEAR(b(i, 4), want[i - 1], tol) << "row " << i;
  }
}

TEST(KnotsTest, ClampedUniformVectors) {
  Array1<double> tk = Knots(8);
  const std::vector<double> want{0, 0, 0, 0, 0.2, 0.4, 0.6, 0.8, 1, 1, 1, 1};
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(tk(i), want[i - 1]) << "knot " << i;
  tk = Knots(4);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(tk(i), i <= 4 ? 0.0 : 1.0);
  tk = Knots(20);
  for (int i = 5; i <= 20; ++i) EXPECT_EQ(tk(i), (i - 4) / 17.0);
}

TEST(BasisTest, TabulatedValues) {
  ExpectColumn4(Basis(4, 0.5), {0.125, 0.375, 0.375, 0.125}, 0);  // Bernstein, exact
  // Not 1/48 and 23/48: the knot difference 0.2 divides as 0.20000000298.
  Array2<double> b = Basis(8, 0.5);
  ExpectColumn4(b, {0, 0, 0.0208333319, 0.4791666333, 0.4791666333, 0.0208333319, 0, 0}, 0.5e-10);
  EXPECT_GT(std::fabs(b(3, 4) - 1.0 / 48), 1e-9);
  double sum = 0;
  for (int i = 1; i <= 8; ++i) sum += b(i, 4);
  EXPECT_NEAR(sum, 0.99999993, 0.5e-8);

  ExpectColumn4(Basis(8, 0.0), {0.9999999553, 0, 0, 0, 0, 0, 0, 0}, 0.5e-10);
  ExpectColumn4(Basis(8, 1.0), {0, 0, 0, 0, 0, 0, 0, 0.9999999553}, 0.5e-10);
  // A parameter on an interior knot belongs to the span that begins there.
  b = Basis(8, 0.2);
  EXPECT_EQ(b(5, 1), 1.0);
  ExpectColumn4(b, {0, 0.25, 0.5833333, 0.1666667, 0, 0, 0, 0}, 0.5e-7);
}

TEST(BasisTest, LeavesColumnZeroAndNoValueOfAnEarlierCall) {
  Array1<double> tk = Knots(8);
  Array2<double> b;
  b.allocate(1, 8, 0, 4);
  for (int i = 1; i <= 8; ++i)
    for (int m = 0; m <= 4; ++m) b(i, m) = 99;
  COXD(4, 8, tk, 0.5, b);
  COXD(4, 8, tk, 0.9, b);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(b(i, 0), 99.0);
  EXPECT_EQ(b(3, 4), 0.0);
  EXPECT_EQ(b(6, 1), 0.0);
  EXPECT_EQ(b(8, 1), 1.0);
}

Array2<double> Matrix(const std::vector<std::vector<double>>& rows) {
  Array2<double> h;
  const int n = static_cast<int>(rows.size());
  h.allocate(1, n, 1, n + 1);
  for (int r = 1; r <= n; ++r)
    for (int c = 1; c <= n + 1; ++c) h(r, c) = rows[r - 1][c - 1];
  return h;
}

TEST(GaussTest, EliminationPivotingAndSingularSystems) {
  struct Entry {
    int r, c;
    double v;
  };
  const struct {
    const char* what;
    std::vector<std::vector<double>> h;
    Flag lsing;
    std::vector<Entry> after;
  } cases[] = {
      {"rows exchanged, lower column left",
       {{1, 2, 5}, {3, 4, 11}},
       kFalse,
       {{1, 3, 1}, {2, 3, 2}, {2, 1, 1}}},
      {"one unknown", {{4, 10}}, kFalse, {{1, 2, 2.5}}},
      {"zero column: no row normalised", {{0, 1, 2}, {0, 3, 4}}, kTrue, {{1, 2, 1}}},
      {"zero pivot after elimination", {{1, 2, 5}, {2, 4, 11}}, kTrue, {{2, 2, 0}}},
      {"no tolerance for tiny pivots", {{1e-300, 1e-300}}, kFalse, {{1, 2, 1}}},
      {"a tie keeps the first row",
       {{2, 1, 3}, {-2, 1, 1}},
       kFalse,
       {{2, 1, -2}, {1, 3, 0.5}, {2, 3, 2}}},
      {"a larger pivot below is taken",
       {{1, 1, 3}, {-2, 1, 0}},
       kFalse,
       {{2, 1, 1}, {1, 1, 1}, {1, 3, 1}, {2, 3, 2}}},
  };
  for (const auto& c : cases) {
    Array2<double> h = Matrix(c.h);
    Flag lsing = c.lsing == kTrue ? kFalse : kTrue;
    GAUSS(h, h.rows(), lsing);
    EXPECT_EQ(lsing, c.lsing) << c.what;
    for (const Entry& e : c.after)
      EXPECT_EQ(h(e.r, e.c), e.v) << c.what << " h(" << e.r << "," << e.c << ")";
  }
}

TEST(DerivativeTest, CoefficientsOfTheFirstDerivative) {
  Array1<double> tk = Knots(4);
  Array2<double> c1;
  c1.allocate(1, 4, 0, 1);
  for (int i = 1; i <= 4; ++i) {
    c1(i, 0) = (i - 1) / 3.0;
    c1(i, 1) = 7;
  }
  BSCOEFS(4, 4, tk, 0, c1);
  EXPECT_EQ(c1(1, 1), 7.0);  // jd = 0 changes nothing

  BSCOEFS(4, 4, tk, 1, c1);
  EXPECT_EQ(c1(1, 1), 0.0);
  for (int i = 2; i <= 4; ++i) EXPECT_NEAR(c1(i, 1), 1.0, 4 * 1e-16);

  tk = Knots(8);
  c1.allocate(1, 8, 0, 1);
  for (int i = 1; i <= 8; ++i) c1(i, 0) = 0.3;
  BSCOEFS(4, 8, tk, 1, c1);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(c1(i, 1), 0.0);
}

// The engine's tables of one x-spline, named as the run names them.
struct XTables {
  int ko = 4;
  Array1<double> tk;
  Array2<double> b;
  Array2<double> h;
  Flag lsing = kFalse;
  Array1<double> xcp;
  Array2<double> c1;
  Array1<double> f;
  double xs = 0;
  double t1 = 0;
};

// The x-spline of eight control points, x(t) = t^2 up to rounding: the
// interior control points interpolate t^2 at the interior knots and one third
// of a span before the end, with the same rounded basis the search evaluates.
XTables XSpline8() {
  XTables s;
  s.tk = Knots(8);
  s.b.allocate(1, 8, 0, 4);
  s.h.allocate(1, 5, 1, 6);
  for (int ir = 1; ir <= 5; ++ir) {
    const double t1 = ir == 5 ? 1 - 1.0 / 15 : 3.0 * ir / 15;
    COXD(4, 8, s.tk, t1, s.b);
    for (int l = 1; l <= 5; ++l) s.h(ir, l) = s.b(l + 2, 4);
    s.h(ir, 6) = t1 * t1 - s.b(8, 4);
  }
  GAUSS(s.h, 5, s.lsing);
  s.xcp.allocate(1, 8);
  s.c1.allocate(1, 8, 0, 1);
  for (int l = 1; l <= 5; ++l) s.xcp(l + 2) = s.h(l, 6);
  s.xcp(8) = 1;
  for (int j = 1; j <= 8; ++j) s.c1(j, 0) = s.xcp(j);
  BSCOEFS(4, 8, s.tk, 1, s.c1);
  s.f.allocate(0, 1);
  return s;
}

double Search(XTables& s, double xs) {
  s.xs = xs;
  TSearch(s.ko, 8, s.tk, s.c1, s.xs, s.t1, s.f, s.b);
  return s.t1;
}

TEST(TSearchTest, ConvergedAndStepLimitedSearches) {
  XTables s = XSpline8();
  EXPECT_NEAR(Search(s, 0.25), 0.50000002, 0.5e-8);
  // Stopped on the tolerance: f holds x and dx/dt at the returned t1.
  EXPECT_NEAR(s.f(0), 0.25, 1e-6);
  EXPECT_NEAR(s.f(1), 1.0, 1e-6);

  EXPECT_NEAR(Search(s, 0.01), 0.1000005, 0.5e-7);
  // Close to the leading edge the six steps end well off sqrt(xs).
  const double t = Search(s, 0.001);
  EXPECT_NEAR(t, 0.03275, 0.5e-5);
  EXPECT_NEAR(t * t, 0.001072, 0.5e-6);
  EXPECT_NEAR(Search(s, 0.0001), 0.01770, 0.5e-5);

  EXPECT_EQ(Search(s, 0.0), 0.0);
  EXPECT_EQ(Search(s, 1.0), 1.0);
  EXPECT_NEAR(s.f(0), 0.99999996, 0.5e-8);
}

TEST(TSearchTest, ZeroDerivativeStopsWithoutDividing) {
  XTables s = XSpline8();
  for (int j = 1; j <= 8; ++j) s.c1(j, 0) = 0.5;  // x(t) constant: dx/dt = 0
  BSCOEFS(4, 8, s.tk, 1, s.c1);
  EXPECT_EQ(Search(s, 0.2), 0.2);
  EXPECT_TRUE(std::isfinite(s.t1));
}

// A state holding a fit of the x-spline above and the given ordinates.
State Fitted(const Array1<double>& tk, const Array1<double>& xcp, const std::vector<double>& yt,
             const std::vector<double>& yc) {
  State s;
  const int nv = xcp.size();
  s.ko = 4;
  s.ncp = nv;
  Fit fit;
  fit.control_points = nv;
  fit.knots.assign(tk.span().begin(), tk.span().end());
  fit.control_x.assign(xcp.span().begin(), xcp.span().end());
  fit.thickness.control = yt;
  fit.camber.control = yc;
  s.fit = fit;
  return s;
}

TEST(EvalPointsTest, BothEndsOfTheCurves) {
  const XTables x = XSpline8();
  std::vector<double> yt(8), yc(8);
  for (int j = 2; j <= 8; ++j) {
    yt[static_cast<std::size_t>(j - 1)] = 0.1 * j;
    yc[static_cast<std::size_t>(j - 1)] = -0.01 * j;
  }
  State s = Fitted(x.tk, x.xcp, yt, yc);
  s.np = 100;
  EvalPoints(s);
  for (int k = 1; k <= 2; ++k) {
    EXPECT_EQ(s.xp(0, k), 0.0);
    EXPECT_EQ(s.yp(0, k), 0.0);
    EXPECT_NEAR(s.xp(100, k), 0.99999996, 0.5e-8);
    EXPECT_EQ(s.xp(100, k), s.xcp(8) * s.b(8, 4));
    EXPECT_EQ(s.yp(100, k), s.ycp(8, k) * s.b(8, 4));
  }
  EXPECT_EQ(s.t1, 1.0);
  for (int n = 0; n <= 100; ++n) EXPECT_EQ(s.xp(n, 1), s.xp(n, 2));

  // Four control points: one Bezier segment, exact at the ends.
  Array1<double> x4;
  x4.allocate(1, 4);
  const double xs[] = {0, 0, 1.0 / 3, 1};
  for (int j = 1; j <= 4; ++j) x4(j) = xs[j - 1];
  s = Fitted(Knots(4), x4, {0, 0.25, 0.5, 0.75}, {0, 0, 0, 0});
  s.np = 100;
  EvalPoints(s);
  EXPECT_EQ(s.xp(100, 1), 1.0);
  EXPECT_EQ(s.yp(100, 1), 0.75);
  EXPECT_EQ(s.yp(50, 1), 0.375 * 0.25 + 0.375 * 0.5 + 0.125 * 0.75);
}

// The exact evaluation of a placement: the inverted triangle with kept
// reciprocals gives the plain recursion's values to a few ulps; the exact
// x-spline is the window's to its single-precision rounding and t^2 to the
// last bits; every chord position, the nose and the ends included, gets a
// parameter whose x is its own.
TEST(ExactPlacementTest, BasisXSplineAndParametersToFullPrecision) {
  for (int nv : {4, 5, 8, 20, 40}) {
    const Array1<double> tk = Knots(nv);
    const ExactSpans spans(tk.span(), nv);
    for (int i = 0; i <= 400; ++i) {
      const double t = i / 400.0;
      const ExactBasis plain = ExactBasisAt(tk.span(), nv, t);
      const ExactBasis fast = spans.At(t);
      ASSERT_EQ(fast.ii, plain.ii) << nv << " " << t;
      for (int r = 0; r < 4; ++r) EXPECT_NEAR(fast.cubic[r], plain.cubic[r], 4e-16) << nv << " " << t;
      for (int r = 0; r < 3; ++r) EXPECT_NEAR(fast.quadratic[r], plain.quadratic[r], 4e-16) << nv << " " << t;
    }
    Array1<double> exact;
    ExactXSpline(nv, tk, exact);
    Array2<double> b, h;
    b.allocate(1, nv, 0, 4);
    h.allocate(1, nv - 3, 1, nv - 2);
    Flag lsing = kFalse;
    Array1<double> window;
    window.allocate(1, nv);
    ASSERT_TRUE(SolveXSpline(4, nv, tk, b, h, lsing, window));
    for (int j = 1; j <= nv; ++j) EXPECT_NEAR(exact(j), window(j), 2e-7) << nv << " " << j;
    EXPECT_EQ(exact(1), 0.0);
    EXPECT_EQ(exact(2), 0.0);
    EXPECT_EQ(exact(nv), 1.0);

    const std::vector<double> x{0, 1e-300, 1e-12, 1e-6, 0.001, 0.0125, 0.25, 0.5, 0.999999, 1};
    BandArray<double> bd;
    std::vector<double> t;
    PlacePointsExactly(tk, exact, x, {}, bd, t);
    for (std::size_t i = 0; i < x.size(); ++i) {
      const ExactBasis at = ExactBasisAt(tk.span(), nv, t[i]);
      EXPECT_NEAR(SplineValue(exact.span(), at), x[i], 5e-16 * x[i] + 1e-300) << nv << " " << x[i];
      EXPECT_NEAR(t[i], std::sqrt(x[i]), 4e-16) << nv << " " << x[i];
      for (int r = 0; r < 4; ++r)
        EXPECT_NEAR(bd(static_cast<int>(i) + 1, at.ii - 3 + r), at.cubic[r], 4e-16) << nv << " " << x[i];
    }
  }
}

}  // namespace
}  // namespace tarvelo
