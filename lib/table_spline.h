// The interpolating spline of a table's column, shared by the blade's radial
// table and the published section tables.
#pragma once

#include <vector>

namespace tarvelo {

// The interpolating spline of a table column: not-a-knot cubic, of
// lower degree for fewer rows (2 rows: a line, 3: a parabola), as a
// B-spline with clamped knots at the rows but the second and the last but
// one.
struct ColumnSpline {
  int degree = 3;
  std::vector<double> knots;
  std::vector<double> control;
  double Value(double r) const;
};
ColumnSpline InterpolateColumn(const std::vector<double>& r, const std::vector<double>& y);

}  // namespace tarvelo
