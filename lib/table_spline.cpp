// A table's column interpolated: the not-a-knot cubic spline through its rows.
#include "lib/table_spline.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvelo {

namespace {

// The knot span of r in a clamped knot vector of n control values: the last
// k with knots[k] <= r < knots[k + 1], kept below the end.
std::size_t SpanOf(const std::vector<double>& knots, int degree, std::size_t n, double r) {
  const auto first = knots.begin() + degree;
  const auto last = knots.begin() + static_cast<std::ptrdiff_t>(n);
  const auto above = std::upper_bound(first, last, r);
  return static_cast<std::size_t>(above - knots.begin()) - 1;
}

// The degree + 1 basis functions that may be non-zero at r on span k: the
// Cox-de Boor recursion in its triangular form (Piegl and Tiller, A2.2).
std::vector<double> BasisAt(const std::vector<double>& knots, int degree, std::size_t k, double r) {
  const auto p = static_cast<std::size_t>(degree);
  std::vector<double> n(p + 1, 0.0), left(p + 1), right(p + 1);
  n[0] = 1;
  for (std::size_t j = 1; j <= p; ++j) {
    left[j] = r - knots[k + 1 - j];
    right[j] = knots[k + j] - r;
    double saved = 0;
    for (std::size_t q = 0; q < j; ++q) {
      const double temp = n[q] / (right[q + 1] + left[j - q]);
      n[q] = saved + right[q + 1] * temp;
      saved = left[j - q] * temp;
    }
    n[j] = saved;
  }
  return n;
}

}  // namespace

double ColumnSpline::Value(double r) const {
  const std::size_t k = SpanOf(knots, degree, control.size(), r);
  const std::vector<double> n = BasisAt(knots, degree, k, r);
  double sum = 0;
  for (std::size_t q = 0; q < n.size(); ++q) sum += n[q] * control[k - static_cast<std::size_t>(degree) + q];
  return sum;
}

ColumnSpline InterpolateColumn(const std::vector<double>& r, const std::vector<double>& y) {
  const std::size_t n = r.size();
  ColumnSpline s;
  s.degree = static_cast<int>(std::min<std::size_t>(3, n - 1));
  const auto p = static_cast<std::size_t>(s.degree);
  s.knots.assign(p + 1, r.front());
  // Not-a-knot: the rows but the second and the last but one are knots.
  for (std::size_t i = 2; i + 2 < n && n >= 4; ++i) s.knots.push_back(r[i]);
  s.knots.insert(s.knots.end(), p + 1, r.back());
  // The collocation system, solved by Gaussian elimination with partial
  // pivoting: a handful of rows.
  std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t k = SpanOf(s.knots, s.degree, n, r[i]);
    const std::vector<double> basis = BasisAt(s.knots, s.degree, k, r[i]);
    for (std::size_t q = 0; q <= p; ++q) a[i][k - p + q] = basis[q];
    a[i][n] = y[i];
  }
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t i = c + 1; i < n; ++i)
      if (std::abs(a[i][c]) > std::abs(a[pivot][c])) pivot = i;
    std::swap(a[c], a[pivot]);
    for (std::size_t i = c + 1; i < n; ++i) {
      const double f = a[i][c] / a[c][c];
      if (f == 0) continue;
      for (std::size_t j = c; j <= n; ++j) a[i][j] -= f * a[c][j];
    }
  }
  s.control.assign(n, 0.0);
  for (std::size_t c = n; c-- > 0;) {
    double v = a[c][n];
    for (std::size_t j = c + 1; j < n; ++j) v -= a[c][j] * s.control[j];
    s.control[c] = v / a[c][c];
  }
  return s;
}

}  // namespace tarvelo
