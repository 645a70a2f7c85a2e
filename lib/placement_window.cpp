// "window": the window's x-spline and parameter search, to the last bit of
// its run.
#include "bspline/bspline.h"
#include "bspline/fitting.h"
#include "lib/placement.h"

namespace tarvelo {

Placed PlaceAsTheWindow(int nv, const Array1<double>& tk, std::span<const double> x) {
  constexpr int ko = 4;
  Placed placed;
  Array2<double> b;
  b.allocate(1, nv, 0, ko);
  Array2<double> h;
  h.allocate(1, nv - 3, 1, nv - 2);
  Flag lsing = kFalse;
  placed.xcp.allocate(1, nv);
  if (!SolveXSpline(ko, nv, tk, b, h, lsing, placed.xcp))
    throw FitStopError(FitStatus::Singular);
  Array2<double> c1;
  c1.allocate(1, nv, 0, 1);
  for (int j = 1; j <= nv; ++j) c1(j, 0) = placed.xcp(j);
  BSCOEFS(ko, nv, tk, 1, c1);
  Array1<double> f;
  f.allocate(0, 1);
  PlacePoints(ko, nv, tk, c1, x, f, b, placed.bd);
  return placed;
}

}  // namespace tarvelo
