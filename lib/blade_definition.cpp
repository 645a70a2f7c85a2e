// The blade a radial table and a foil define: the columns interpolated in
// r/R, and each point of the back, the face and what lies between them.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "bspline/exact.h"
#include "lib/blade.h"
#include "lib/foil.h"

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

std::vector<double> RowRadii(const std::vector<BladeRow>& rows) { return ColumnOf(rows, &BladeRow::r); }

std::vector<double> ColumnOf(const std::vector<BladeRow>& rows, double BladeRow::*column) {
  std::vector<double> v;
  for (const BladeRow& row : rows) v.push_back(row.*column);
  return v;
}

BladeShape::BladeShape(const std::vector<BladeRow>& rows, const FoilSpline& foil, double diameter, bool planar,
                       bool left_handed)
    : foil_(foil), knots_(KnotsOf(foil)), radii_(RowRadii(rows)), diameter_(diameter), planar_(planar),
      left_(left_handed), root_(rows.front().r), tip_(rows.back().r) {
  for (double k : knots_)
    if (foil_breaks_.empty() || k != foil_breaks_.back()) foil_breaks_.push_back(k);
  chord_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::chord));
  pitch_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::pitch));
  thickness_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::thickness));
  camber_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::camber));
  skew_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::skew_deg));
  rake_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::rake));
}

Station BladeShape::At(double r_over_R) const {
  Station s;
  s.r_over_R = r_over_R;
  s.r = r_over_R * diameter_ / 2;
  s.chord = chord_.Value(r_over_R) * diameter_;
  s.pitch = pitch_.Value(r_over_R) * diameter_;
  const double around = 2 * std::numbers::pi * s.r;
  const double hypot = std::hypot(s.pitch, around);
  s.sin_phi = s.pitch / hypot;
  s.cos_phi = around / hypot;
  s.tan_phi = s.pitch / around;
  s.thickness = thickness_.Value(r_over_R) * s.chord;
  s.camber = camber_.Value(r_over_R) * s.chord;
  s.skew = skew_.Value(r_over_R) * std::numbers::pi / 180;
  s.rake = rake_.Value(r_over_R) * diameter_;
  return s;
}

FoilPoint BladeShape::Foil(double t) const {
  const ExactBasis b = ExactBasisAt(knots_, static_cast<int>(foil_.control_x.size()), t);
  return {t, SplineValue(foil_.control_x, b), SplineValue(foil_.thickness, b), SplineValue(foil_.camber, b)};
}

double BladeShape::ParameterOf(double x) const {
  return ParameterAt(knots_, foil_.control_x, x, std::sqrt(x)).t;
}

std::array<double, 3> BladeShape::Point(const Station& s, const FoilPoint& f, double w) const {
  const double along = s.chord * (0.5 - f.x);
  const double across = s.camber * f.camber + w * s.thickness * f.thickness / 2;
  const double theta = -s.skew + (along * s.cos_phi - across * s.sin_phi) / s.r;
  const double x = s.rake + s.r * s.skew * s.tan_phi - along * s.sin_phi - across * s.cos_phi;
  double y = planar_ ? s.r * theta : s.r * std::sin(theta);
  const double z = planar_ ? s.r : s.r * std::cos(theta);
  if (left_) y = -y;
  return {x, y, z};
}

}  // namespace tarvelo
