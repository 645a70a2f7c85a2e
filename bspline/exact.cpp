#include "bspline/exact.h"

#include <algorithm>
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
  // The knot span: the first i >= 4 with tk(i+1) > t, else n.
  const auto first = knots.begin() + kCubicOrder;
  const auto above = std::upper_bound(first, knots.begin() + n, t);
  const int ii = above == knots.begin() + n ? n : static_cast<int>(above - knots.begin());
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

Parameter ParameterAt(std::span<const double> knots, std::span<const double> x_control, double x,
                      double start) {
  const int n = static_cast<int>(x_control.size());
  double lo = 0;
  double hi = 1;
  Parameter at{std::clamp(start, lo, hi), {}};
  for (int it = 0; it < kMostIterations; ++it) {
    at.basis = ExactBasisAt(knots, n, at.t);
    const double f = SplineValue(x_control, at.basis) - x;
    if (f == 0) return at;
    (f < 0 ? lo : hi) = at.t;
    const double slope = SplineSlope(x_control, knots, at.basis);
    double next = slope > 0 ? at.t - f / slope : lo;
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    // Converged when the step no longer moves t, or the bracket has closed
    // to neighbouring doubles.
    if (next == at.t || !(lo < next && next < hi)) return at;
    at.t = next;
  }
  at.basis = ExactBasisAt(knots, n, at.t);
  return at;
}

ExactSpans::ExactSpans(std::span<const double> knots, int n) : n_(n), knots_(knots) {
  const auto tk = [&knots](int i) { return knots[static_cast<std::size_t>(i - 1)]; };
  inverse_.assign(static_cast<std::size_t>(n - kCubicOrder + 1) * kReciprocals, 0.0);
  double* inv = inverse_.data();
  for (int ii = kCubicOrder; ii <= n; ++ii)
    for (int j = 1; j < kCubicOrder; ++j)
      for (int r = 0; r < j; ++r) {
        // Within a span of a clamped knot vector these divisors are above 0.
        const double den = tk(ii + r + 1) - tk(ii + r + 1 - j);
        *inv++ = den != 0 ? 1 / den : 0.0;
      }
}

int ExactSpans::Span(double t) const {
  // Uniform interior knots give a first guess that the comparisons correct.
  const double pos = t * static_cast<double>(n_ - kCubicOrder + 1);
  int ii = pos >= 1 ? (pos < n_ - kCubicOrder + 1 ? kCubicOrder + static_cast<int>(pos) : n_) : kCubicOrder;
  const auto tk = [this](int i) { return knots_[static_cast<std::size_t>(i - 1)]; };
  while (ii < n_ && !(tk(ii + 1) > t)) ++ii;
  while (ii > kCubicOrder && tk(ii) > t) --ii;
  return ii;
}

ExactBasis ExactSpans::At(double t) const {
  ExactBasis out;
  const int ii = Span(t);
  out.ii = ii;
  // left[j] = t - t(ii+1-j), right[j] = t(ii+j) - t, knots counted from 1.
  const double* const k = &knots_[static_cast<std::size_t>(ii - 1)];  // k[m] is t(ii+m)
  const std::array<double, kCubicOrder> left{0, t - k[0], t - k[-1], t - k[-2]};
  const std::array<double, kCubicOrder> right{0, k[1] - t, k[2] - t, k[3] - t};
  const double* inv = &inverse_[static_cast<std::size_t>(ii - kCubicOrder) * kReciprocals];
  std::array<double, kCubicOrder> b{1, 0, 0, 0};
  for (int j = 1; j < kCubicOrder; ++j) {
    double saved = 0;
    for (int r = 0; r < j; ++r) {
      const double temp = b[r] * *inv++;
      b[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    b[j] = saved;
    if (j == kCubicOrder - 2)
      for (int r = 0; r < kCubicOrder - 1; ++r) out.quadratic[r] = b[r];
  }
  out.cubic = b;
  return out;
}

std::vector<double> ExactSpans::Derivative(std::span<const double> control) const {
  std::vector<double> d(control.size() + 1, 0.0);
  for (std::size_t j = 2; j <= control.size(); ++j) {
    const double den = knots_[j + 2] - knots_[j - 1];
    if (den != 0) d[j] = 3 * (control[j - 1] - control[j - 2]) / den;
  }
  return d;
}

Parameter ExactSpans::ParameterAt(std::span<const double> x, std::span<const double> dx, double xs,
                                  double start) const {
  double lo = 0;
  double hi = 1;
  Parameter at{std::clamp(start, lo, hi), {}};
  for (int it = 0; it < kMostIterations; ++it) {
    at.basis = At(at.t);
    const double f = SplineValue(x, at.basis) - xs;
    if (f == 0) return at;
    (f < 0 ? lo : hi) = at.t;
    double slope = 0;
    for (int r = 0; r < kCubicOrder - 1; ++r)
      slope += dx[static_cast<std::size_t>(at.basis.ii - 2 + r)] * at.basis.quadratic[r];
    double next = slope > 0 ? at.t - f / slope : lo;
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    if (next == at.t || !(lo < next && next < hi)) return at;
    at.t = next;
  }
  at.basis = At(at.t);
  return at;
}

}  // namespace tarvelo
