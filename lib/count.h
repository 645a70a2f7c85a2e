// Whether the data carry a fit's curves between the data points.
#pragma once

#include <tarvelo/tarvelo.h>

namespace tarvelo {

// The worse curve's between deviation over what the data allow it: the
// tolerance or kStrayFactor times its largest deviation at the data points,
// whichever is larger. At most 1, the data carry the fit.
double StrayRatio(const Fit& fit, double tolerance);

}  // namespace tarvelo
