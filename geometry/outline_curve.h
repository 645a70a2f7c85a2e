// The outline as a curve: x(s) and y(s), natural cubic splines on the same
// knots of cumulative chord length.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tarvelo::outline {

// The real roots of c2 u^2 + c1 u + c0, each computed without cancellation.
inline std::vector<double> QuadraticRoots(double c2, double c1, double c0) {
  if (c2 == 0) return c1 == 0 ? std::vector<double>{} : std::vector<double>{-c0 / c1};
  const double disc = c1 * c1 - 4 * c2 * c0;
  if (disc < 0) return {};
  const double q = -(c1 + std::copysign(std::sqrt(disc), c1)) / 2;
  if (q == 0) return {0};
  return {q / c2, c0 / q};
}

struct Point {
  double x = 0;
  double y = 0;
};

// A stretch of a path along which a quantity is c0 + c1 u + c2 u^2, u
// running from `from` to `to` (backwards where from > to).
struct Stretch {
  double from = 0, to = 1;
  double c0 = 0, c1 = 0, c2 = 0;
  double At(double u) const { return c0 + u * (c1 + u * c2); }
};

// Where a quantity made of such stretches changes sign along the path: the
// index of the stretch and its u there. A zero between two values of one
// sign is no change; a change counts against the last sign that was not 0.
struct SignChange {
  std::size_t stretch = 0;
  double u = 0;
};
inline std::vector<SignChange> SignChanges(const std::vector<Stretch>& path) {
  std::vector<SignChange> changes;
  int last = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const Stretch& p = path[i];
    const double lo = std::min(p.from, p.to), hi = std::max(p.from, p.to);
    std::vector<double> cuts{p.from};
    std::vector<double> roots = QuadraticRoots(p.c2, p.c1, p.c0);
    std::sort(roots.begin(), roots.end());
    if (p.from > p.to) std::reverse(roots.begin(), roots.end());
    for (double r : roots)
      if (r > lo && r < hi) cuts.push_back(r);
    cuts.push_back(p.to);
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
      const double v = p.At((cuts[c] + cuts[c + 1]) / 2);
      const int sign = v > 0 ? 1 : v < 0 ? -1 : 0;
      if (sign == 0) continue;
      if (last != 0 && sign != last) changes.push_back({i, cuts[c]});
      last = sign;
    }
  }
  return changes;
}

// The sign of the curvature of a plane curve x(u), y(u), cubic in u with the
// power coefficients a and b, is that of x' y'' - y' x'': a quadratic in u.
inline Stretch CurvatureSign(const std::array<double, 4>& a, const std::array<double, 4>& b, double from,
                             double to) {
  return {from, to, 2 * (a[1] * b[2] - a[2] * b[1]), 6 * (a[1] * b[3] - a[3] * b[1]),
          6 * (a[2] * b[3] - a[3] * b[2])};
}

// The two splines share their tridiagonal system, which is factored once for
// both: the spline GSL's gsl_interp_cspline makes, in half its time and a
// third of its memory, which for an outline of millions of points is most of
// the import.
class Curve {
 public:
  // The knots must increase strictly; the vectors must outlive the curve.
  Curve(const std::vector<double>& s, const std::vector<double>& x, const std::vector<double>& y)
      : s_(s), x_(x), y_(y), mx_(s.size()), my_(s.size()) {
    // Second derivatives, zero at both ends, by the Thomas algorithm; mx_
    // and my_ hold the eliminated right-hand sides first.
    const std::size_t n = s.size();
    std::vector<double> c(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const double h0 = s[i] - s[i - 1], h1 = s[i + 1] - s[i];
      const double den = 2 * (h0 + h1) - h0 * c[i - 1];
      c[i] = h1 / den;
      mx_[i] = (6 * ((x[i + 1] - x[i]) / h1 - (x[i] - x[i - 1]) / h0) - h0 * mx_[i - 1]) / den;
      my_[i] = (6 * ((y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0) - h0 * my_[i - 1]) / den;
    }
    for (std::size_t i = n - 1; i-- > 1;) {
      mx_[i] -= c[i] * mx_[i + 1];
      my_[i] -= c[i] * my_[i + 1];
    }
  }
  // The knot interval [s_k, s_k+1] that holds t.
  std::size_t Segment(double t) const {
    const auto k = std::upper_bound(s_.begin(), s_.end(), t) - s_.begin();
    return std::clamp<std::size_t>(static_cast<std::size_t>(k), 1, s_.size() - 1) - 1;
  }
  Point At(double t, std::size_t k) const {
    const double h = s_[k + 1] - s_[k], a = (s_[k + 1] - t) / h, b = (t - s_[k]) / h;
    const double ca = (a * a * a - a) * h * h / 6, cb = (b * b * b - b) * h * h / 6;
    return {a * x_[k] + b * x_[k + 1] + ca * mx_[k] + cb * mx_[k + 1],
            a * y_[k] + b * y_[k + 1] + ca * my_[k] + cb * my_[k + 1]};
  }
  Point At(double t) const { return At(t, Segment(t)); }
  // dx/ds and dy/ds.
  Point Slope(double t, std::size_t k) const {
    const double h = s_[k + 1] - s_[k], a = (s_[k + 1] - t) / h, b = (t - s_[k]) / h;
    const double ca = -(3 * a * a - 1) * h / 6, cb = (3 * b * b - 1) * h / 6;
    return {(x_[k + 1] - x_[k]) / h + ca * mx_[k] + cb * mx_[k + 1],
            (y_[k + 1] - y_[k]) / h + ca * my_[k] + cb * my_[k + 1]};
  }
  Point Slope(double t) const { return Slope(t, Segment(t)); }
  // d2x/ds2 and d2y/ds2.
  Point Bend(double t, std::size_t k) const {
    const double h = s_[k + 1] - s_[k], b = (t - s_[k]) / h, a = 1 - b;
    return {a * mx_[k] + b * mx_[k + 1], a * my_[k] + b * my_[k + 1]};
  }
  // x (or y) on the interval k as c0 + c1 u + c2 u^2 + c3 u^3, u = (s - s_k) / h.
  std::array<double, 4> Power(std::size_t k, bool y) const {
    const std::vector<double>& v = y ? y_ : x_;
    const std::vector<double>& m = y ? my_ : mx_;
    const double h2 = (s_[k + 1] - s_[k]) * (s_[k + 1] - s_[k]);
    return {v[k], v[k + 1] - v[k] - h2 / 6 * (2 * m[k] + m[k + 1]), h2 / 2 * m[k], h2 / 6 * (m[k + 1] - m[k])};
  }
  double Knot(std::size_t k) const { return s_[k]; }
  // The least x the curve reaches: at a knot, or where dx/ds vanishes
  // inside an interval, dx/ds being a quadratic there.
  double LeastX() const {
    double least = HUGE_VAL;
    for (std::size_t k = 0; k + 1 < s_.size(); ++k) {
      least = std::min(least, x_[k]);
      const double h = s_[k + 1] - s_[k], a = mx_[k] * h / 6, b = mx_[k + 1] * h / 6;
      // dx/ds = c0 + c1 u + c2 u^2 with u = (s - s_k) / h from 0 to 1.
      const double c0 = (x_[k + 1] - x_[k]) / h - 2 * a - b, c1 = 6 * a, c2 = 3 * (b - a);
      for (const double u : QuadraticRoots(c2, c1, c0))
        if (u > 0 && u < 1) least = std::min(least, At(s_[k] + u * h, k).x);
    }
    return std::min(least, x_.back());
  }

 private:
  const std::vector<double>& s_;
  const std::vector<double>& x_;
  const std::vector<double>& y_;
  std::vector<double> mx_, my_;
};

}  // namespace tarvelo::outline
