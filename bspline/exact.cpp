#include "bspline/exact.h"

#include <cstddef>

namespace tarvelo {

namespace {

// Enough for bisection from [0, 1] down to the spacing of doubles near any t;
// the Newton steps normally end the search in a handful.
constexpr int kMostIterations = 2000;

}  // namespace

ExactBasis ExactBasisAt(std::span<const double> knots, int n, double t) {
  // tk(i) is knots[i - 1], as COXD numbers the knots.
  const auto tk = [&knots](int i) { return knots[static_cast<std::size_t>(i - 1)]; };
  ExactBasis out;
  int ii = kCubicOrder;
  for (int i = kCubicOrder; i <= n; ++i) {
    ii = i;
    if (tk(i + 1) > t) break;
  }
  out.ii = ii;
  // row[m][r]: order m+1 function starting at knot ii-m+r.
  std::array<std::array<double, kCubicOrder>, kCubicOrder> row{};
  row[0][0] = 1;
  for (int m = 1; m < kCubicOrder; ++m) {
    for (int r = 0; r <= m; ++r) {
      const int i = ii - m + r;  // first knot of this function
      double v = 0;
      if (r > 0) {  // the order-m function starting at i, weighted up
        const double den = tk(i + m) - tk(i);
        if (den != 0) v += (t - tk(i)) * row[m - 1][r - 1] / den;
      }
      if (r < m) {  // the order-m function starting at i+1, weighted down
        const double den = tk(i + m + 1) - tk(i + 1);
        if (den != 0) v += (tk(i + m + 1) - t) * row[m - 1][r] / den;
      }
      row[m][r] = v;
    }
  }
  for (int r = 0; r < kCubicOrder; ++r) out.cubic[r] = row[3][r];
  for (int r = 0; r < kCubicOrder - 1; ++r) out.quadratic[r] = row[2][r];
  return out;
}

double SplineValue(std::span<const double> control, const ExactBasis& b) {
  double sum = 0;
  for (int r = 0; r < kCubicOrder; ++r)
    sum += control[static_cast<std::size_t>(b.ii - kCubicOrder + r)] * b.cubic[r];
  return sum;
}

double SplineSlope(std::span<const double> control, std::span<const double> knots,
                   const ExactBasis& b) {
  double sum = 0;
  for (int r = 0; r < kCubicOrder - 1; ++r) {
    const int j = b.ii - 2 + r;  // 1-based
    const double den = knots[static_cast<std::size_t>(j + 2)] - knots[static_cast<std::size_t>(j - 1)];
    if (den != 0)
      sum += 3 * (control[static_cast<std::size_t>(j - 1)] - control[static_cast<std::size_t>(j - 2)]) /
             den * b.quadratic[r];
  }
  return sum;
}

double ParameterAt(std::span<const double> knots, std::span<const double> x_control, double x,
                   double start) {
  const int n = static_cast<int>(x_control.size());
  double lo = 0;
  double hi = 1;
  double t = start;
  for (int it = 0; it < kMostIterations; ++it) {
    const ExactBasis b = ExactBasisAt(knots, n, t);
    const double f = SplineValue(x_control, b) - x;
    if (f == 0) break;
    (f < 0 ? lo : hi) = t;
    const double slope = SplineSlope(x_control, knots, b);
    double next = slope > 0 ? t - f / slope : lo;
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    // Converged when the step no longer moves t, or the bracket has closed
    // to neighbouring doubles.
    if (next == t || !(lo < next && next < hi)) break;
    t = next;
  }
  return t;
}

}  // namespace tarvelo
