// What the outline exports share below the file formats: the size check, and
// the conversion of a cubic B-spline to Bezier form.
#pragma once

#include <span>
#include <vector>

#include <tarvelo/tarvelo.h>

namespace tarvelo {

// Throws Error unless the thickness is above 0 and at most 1 and the camber
// from -1 to 1.
void CheckOutlineSize(const OutlineSize& size);

// The control ordinates of a cubic B-spline on a clamped knot vector in
// Bezier form: every interior knot inserted until it is threefold (Boehm's
// algorithm), which leaves the curve as it is. Segment s, the spline on the
// s-th non-empty knot interval, has the ordinates 3s .. 3s+3.
std::vector<double> BezierOrdinates(std::span<const double> knots, std::span<const double> control);

}  // namespace tarvelo
