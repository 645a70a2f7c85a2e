// A cubic B-spline in Bezier form, for drawings that take Bezier segments.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace tarvelo {

// The control ordinates of a cubic B-spline on a clamped knot vector in
// Bezier form: every interior knot inserted until it is threefold (Boehm's
// algorithm), which leaves the curve as it is. Segment s, the spline on the
// s-th non-empty knot interval, has the ordinates 3s .. 3s+3.
std::vector<double> BezierOrdinates(std::span<const double> knots, std::span<const double> control);

// One segment in Bernstein form: its four ordinates, s from 0 to 1 over its
// knot interval.
using BezierCubic = std::array<double, 4>;

// de Casteljau's evaluation, stable for every s in [0, 1].
inline double BezierValue(const BezierCubic& b, double s) {
  const double r = 1 - s;
  const double b01 = r * b[0] + s * b[1], b12 = r * b[1] + s * b[2], b23 = r * b[2] + s * b[3];
  const double b012 = r * b01 + s * b12, b123 = r * b12 + s * b23;
  return r * b012 + s * b123;
}

// d/ds: the quadratic of the differences of neighbouring ordinates.
inline double BezierSlope(const BezierCubic& b, double s) {
  const double r = 1 - s;
  const double d0 = b[1] - b[0], d1 = b[2] - b[1], d2 = b[3] - b[2];
  return 3 * (r * (r * d0 + s * d1) + s * (r * d1 + s * d2));
}

}  // namespace tarvelo
