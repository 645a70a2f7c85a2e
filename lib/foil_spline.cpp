// FoilSpline::Evaluate: a stored section at any chord position, in double
// precision throughout. Unlike the fit, which keeps the rounding of its own
// arithmetic, this evaluates the spline the .FOI file describes as exactly as
// a double allows.
#include <tarvelo/tarvelo.h>

#include <cmath>

#include "bspline/exact.h"
#include "lib/foil.h"

namespace tarvelo {

FoilSpline FoilSplineOf(const Fit& fit) {
  return {fit.id_line, fit.order, fit.control_x, fit.thickness.control, fit.camber.control, OwnSize(fit)};
}

FoilSpline::Value FoilSpline::Evaluate(double x) const {
  if (!(x >= 0 && x <= 1))
    throw Error(ErrorKind::Usage, ShortestText(x) + " is not a chord position from 0 to 1");
  const std::vector<double> knots = KnotsOf(*this);
  // x(t) is t^2 for a fit's spline: its root is the first guess.
  const Parameter at = ParameterAt(knots, control_x, x, std::sqrt(x));
  const Value v{SplineValue(thickness, at.basis), SplineValue(camber, at.basis)};
  // Control ordinates near the largest double may sum beyond it.
  if (!std::isfinite(v.thickness) || !std::isfinite(v.camber))
    throw BeyondDoubles("thickness or camber at x = " + ShortestText(x));
  return v;
}

}  // namespace tarvelo
