#include <algorithm>
#include <cmath>

#include "bspline/bspline.h"

namespace tarvelo {

void BSPLEVD(int ko, int nv, const Array1<double>& tk, double t1, const Array2<double>& c1,
             int jd, Array1<double>& f, Array2<double>& b) {
  const int ii = COXDSpan(ko, nv, tk, t1, b);
  for (int d = 0; d <= jd; ++d) {
    // Only rows ii-(ko-d)+1..ii of column ko-d can be non-zero. The others add
    // an exact zero to a sum that is never -0, which changes nothing, so the
    // sum runs over the span alone, in the same order.
    const int first = std::max(d + 1, ii - (ko - d) + 1);
    const int last = std::min(nv, ii);
    double sum = 0;
    if (first <= last) {
      if (!b.has(first, ko - d) || !b.has(last, ko - d)) detail::index_error(last, b.lo1(), b.hi1());
      if (!c1.has(first, d) || !c1.has(last, d)) detail::index_error(last, c1.lo1(), c1.hi1());
      const double* bp = &b(first, ko - d);
      const double* cp = &c1(first, d);
      for (int i = first; i <= last; ++i) sum = sum + *bp++ * *cp++;
    }
    f(d) = sum;
  }
}

// Newton iteration on x(t) = xs, starting from t = xs and not clamped to
// [0, 1]. After kSearchSteps steps the last update is returned untested.
void TSearch(int ko, int nv, const Array1<double>& tk, const Array2<double>& c1, double xs,
             double& t1, Array1<double>& f, Array2<double>& b) {
  const double eps = kSearchTolerance;
  t1 = xs;
  for (std::int16_t it = 1; it <= kSearchSteps; ++it) {
    BSPLEVD(ko, nv, tk, t1, c1, 1, f, b);
    const double xerr = std::fabs(f(0) - xs);
    if (xerr < eps) return;
    // A stationary point (x'(t) = 0, as at t = 0) gives no Newton step: keep t1.
    if (f(1) == 0) return;
    const double dt = (xs - f(0)) / f(1);
    t1 = t1 + dt;
  }
}

}  // namespace tarvelo
