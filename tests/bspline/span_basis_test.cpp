// The fit's lean basis, search and solver against the plain routines: every
// value the same to the bit, also where a parameter leaves [0, 1], sits on a
// knot or is not finite, and where the signs of zeros differ.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "bspline/bspline.h"
#include "bspline/fitting.h"
#include "bspline/span_basis.h"

namespace tarvelo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

::testing::AssertionResult Same(double a, double b) {
  if (std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::hexfloat << a << " is not " << b;
}

Array1<double> Knots(const std::vector<double>& values) {
  Array1<double> tk;
  tk.allocate(1, static_cast<int>(values.size()));
  for (int i = 1; i <= tk.hi(); ++i) tk(i) = values[static_cast<std::size_t>(i - 1)];
  return tk;
}

Array1<double> Knots(int nv) {
  Array1<double> tk;
  tk.allocate(1, nv + 4);
  KNOTS(4, nv, tk);
  return tk;
}

TEST(SpanBasisTest, ValuesOfCOXDToTheBit) {
  const std::vector<Array1<double>> vectors = {
      Knots(4), Knots(5), Knots(8), Knots(13), Knots(20),
      // Unequal spans: the first guess of the span is off by several.
      Knots({0, 0, 0, 0, 0.05, 0.1, 0.15, 0.9, 1, 1, 1, 1}),
      // Below 0 the first span has no width: terms with a zero divisor are 0.
      Knots({0, 0, 0, 0, 0, 0.5, 1, 1, 1, 1})};
  for (const Array1<double>& tk : vectors) {
    const int nv = tk.hi() - 4;
    SpanBasis spans;
    ASSERT_TRUE(spans.Prepare(nv, tk));
    Array2<double> b;
    b.allocate(1, nv, 0, 4);
    std::vector<double> ts = {0,    -0.0, 1,    0.5,   1e-9,   0.999999, -0.3,  -1e-300,
                              1.7,  1e300, -1e300, kInf, -kInf, kNaN,    -kNaN};
    for (int i = 1; i <= nv + 4; ++i)
      for (double t : {tk(i), std::nextafter(tk(i), -1.0), std::nextafter(tk(i), 2.0), tk(i) + 0.01})
        ts.push_back(t);
    for (double t : ts) {
      const int ii = COXDSpan(4, nv, tk, t, b);
      SpanValues v;
      spans.Evaluate(t, v);
      ASSERT_EQ(v.ii, ii) << "nv " << nv << ", t " << t;
      for (int r = 0; r < 4; ++r) EXPECT_TRUE(Same(v.cubic[r], b(ii - 3 + r, 4))) << "nv " << nv << ", t " << t;
      for (int r = 0; r < 3; ++r) EXPECT_TRUE(Same(v.quadratic[r], b(ii - 2 + r, 3))) << "nv " << nv << ", t " << t;
    }
  }
}

TEST(SpanBasisTest, KnotsItCannotTakeAreLeftToThePlainRoutines) {
  const struct {
    const char* what;
    Array1<double> tk;
    int nv;
  } cases[] = {
      {"decreasing", Knots({0, 0, 0, 0, 0.6, 0.4, 1, 1, 1, 1}), 6},
      {"not a number", Knots({0, 0, 0, 0, kNaN, 1, 1, 1, 1}), 5},
      {"last span not clamped", Knots({0, 0, 0, 0, 0.5, 1, 1, 1, 2}), 5},
      {"too few knots", Knots({0, 0, 0, 0, 1, 1, 1}), 4},
      {"too few functions", Knots({0, 0, 0, 1, 1, 1}), 3},
  };
  for (const auto& c : cases) EXPECT_FALSE(SpanBasis().Prepare(c.nv, c.tk)) << c.what;
}

// The run's x-spline (x(t) = t^2) on nv control points, with dx/dt.
struct XSpline {
  explicit XSpline(int nv) : tk(Knots(nv)) {
    Array2<double> h;
    h.allocate(1, nv - 3, 1, nv - 2);
    Flag lsing = kFalse;
    Array1<double> xcp;
    xcp.allocate(1, nv);
    b.allocate(1, nv, 0, 4);
    EXPECT_TRUE(SolveXSpline(4, nv, tk, b, h, lsing, xcp));
    c1.allocate(1, nv, 0, 1);
    for (int j = 1; j <= nv; ++j) c1(j, 0) = xcp(j);
    BSCOEFS(4, nv, tk, 1, c1);
    f.allocate(0, 1);
  }
  Array1<double> tk;
  Array2<double> b;
  Array2<double> c1;
  Array1<double> f;
};

TEST(SpanBasisTest, PlacedPointsAndWhatIsLeftAreThoseOfTSearchAndCOXD) {
  std::vector<double> xs = {0, -0.0, 1e-12, 1e-4, 0.001, 0.01, 0.25, 0.5, 1, 1.5, -0.2, 1e6, -1e6, kNaN, kInf};
  for (int i = 0; i <= 200; ++i) xs.push_back(i * i / 40000.0);  // clustered to the leading edge
  for (int nv : {4, 8, 20}) {
    for (const std::size_t count : {std::size_t{1}, xs.size()}) {
      const std::span<const double> points(xs.data(), count);
      XSpline lean(nv);
      BandArray<double> bd;
      PlacePoints(4, nv, lean.tk, lean.c1, points, lean.f, lean.b, bd);

      XSpline plain(nv);
      double t1 = 0;
      for (std::size_t p = 0; p < points.size(); ++p) {
        TSearch(4, nv, plain.tk, plain.c1, points[p], t1, plain.f, plain.b);
        const int ii = COXDSpan(4, nv, plain.tk, t1, plain.b);
        const int i = static_cast<int>(p) + 1;
        ASSERT_EQ(bd.first(i), ii - 3) << "nv " << nv << ", x " << points[p];
        for (int j = 1; j <= nv; ++j) EXPECT_TRUE(Same(bd(i, j), plain.b(j, 4))) << "x " << points[p];
      }
      for (int d = 0; d <= 1; ++d) EXPECT_TRUE(Same(lean.f(d), plain.f(d))) << "nv " << nv;
      for (int m = 0; m <= 4; ++m)
        for (int j = 1; j <= nv; ++j) EXPECT_TRUE(Same(lean.b(j, m), plain.b(j, m))) << "b(" << j << ", " << m << ")";
    }
  }
}

// An x-spline that is flat (dx/dt = 0) where a search stands gives no Newton
// step: the search stops there, as TSearch does, instead of dividing by 0.
TEST(SpanBasisTest, AFlatXSplineStopsTheSearchWhereItStands) {
  const std::vector<double> xs = {0.2, 0.7, 0.5};
  XSpline lean(8), plain(8);
  for (XSpline* s : {&lean, &plain}) {
    for (int j = 1; j <= 8; ++j) s->c1(j, 0) = 0.5;
    BSCOEFS(4, 8, s->tk, 1, s->c1);
  }
  BandArray<double> bd;
  PlacePoints(4, 8, lean.tk, lean.c1, xs, lean.f, lean.b, bd);
  double t1 = 0;
  for (std::size_t p = 0; p < xs.size(); ++p) {
    TSearch(4, 8, plain.tk, plain.c1, xs[p], t1, plain.f, plain.b);
    EXPECT_EQ(t1, xs[p]);
    const int ii = COXDSpan(4, 8, plain.tk, t1, plain.b);
    const int i = static_cast<int>(p) + 1;
    ASSERT_EQ(bd.first(i), ii - 3) << xs[p];
    for (int j = 1; j <= 8; ++j) EXPECT_TRUE(Same(bd(i, j), plain.b(j, 4))) << xs[p];
  }
  for (int d = 0; d <= 1; ++d) EXPECT_TRUE(Same(lean.f(d), plain.f(d)));
}

// Elimination along the rows, as the solver was first written.
void RowGauss(std::vector<std::vector<double>>& h, int n) {
  for (int i = 0; i < n; ++i) {
    int ip = -1;
    double p = 0;
    for (int l = i; l < n; ++l)
      if (std::fabs(h[l][i]) > std::fabs(p)) ip = l, p = h[l][i];
    if (ip < 0) return;
    for (int j = i; j <= n; ++j) std::swap(h[ip][j], h[i][j]);
    for (int j = i; j <= n; ++j) h[i][j] = h[i][j] / p;
    for (int l = i + 1; l < n; ++l)
      for (int j = i + 1; j <= n; ++j) h[l][j] = h[l][j] - h[l][i] * h[i][j];
  }
  for (int i = n - 2; i >= 0; --i) {
    double s = h[i][n];
    for (int j = i + 1; j < n; ++j) s = s - h[i][j] * h[j][n];
    h[i][n] = s;
  }
}

TEST(GaussTest, ColumnOrderGivesTheValuesOfRowOrder) {
  std::uint64_t state = 12345;
  const auto next = [&state] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
  };
  for (int n = 1; n <= 19; ++n) {
    std::vector<std::vector<double>> rows(static_cast<std::size_t>(n), std::vector<double>(n + 1));
    Array2<double> h;
    h.allocate(1, n, 1, n + 1);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= n; ++j) h(i + 1, j + 1) = rows[i][j] = next();
    RowGauss(rows, n);
    Flag lsing = kTrue;
    GAUSS(h, n, lsing);
    EXPECT_EQ(lsing, kFalse);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= n; ++j) EXPECT_TRUE(Same(h(i + 1, j + 1), rows[i][j])) << n << ": " << i << ", " << j;
  }
}

}  // namespace
}  // namespace tarvelo
