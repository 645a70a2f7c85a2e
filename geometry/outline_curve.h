// The outline as a curve: x(s) and y(s), natural cubic splines on the same
// knots of cumulative chord length.
#pragma once

#include <algorithm>
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
