// A cubic B-spline in Bezier form, for drawings that take Bezier segments.
#pragma once

#include <span>
#include <vector>

namespace tarvelo {

// The control ordinates of a cubic B-spline on a clamped knot vector in
// Bezier form: every interior knot inserted until it is threefold (Boehm's
// algorithm), which leaves the curve as it is. Segment s, the spline on the
// s-th non-empty knot interval, has the ordinates 3s .. 3s+3.
std::vector<double> BezierOrdinates(std::span<const double> knots, std::span<const double> control);

}  // namespace tarvelo
