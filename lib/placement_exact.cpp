// "exact": each data point at its own chord position, to full precision, on
// the x-spline that is t^2 to full precision: the parameter of x is then
// sqrt(x), which the bracketed search confirms in a step or two.
#include "bspline/fitting.h"
#include "lib/placement.h"

namespace tarvelo {

Placed PlaceExactly(int nv, const Array1<double>& tk, std::span<const double> x) {
  Placed placed;
  ExactXSpline(nv, tk, placed.xcp);
  std::vector<double> t;
  PlacePointsExactly(tk, placed.xcp, x, {}, placed.bd, t);
  placed.exact = true;
  return placed;
}

}  // namespace tarvelo
