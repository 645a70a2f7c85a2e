#include <cmath>

#include "bspline/bspline.h"

namespace tarvelo {

void BSPLEVD(int ko, int nv, const Array1<double>& tk, double t1, const Array2<double>& c1,
             int jd, Array1<double>& f, Array2<double>& b) {
  COXD(ko, nv, tk, t1, b);
  for (int d = 0; d <= jd; ++d) {
    f(d) = 0;
    for (int i = d + 1; i <= nv; ++i) f(d) = f(d) + b(i, ko - d) * c1(i, d);
  }
}

namespace {
// Chord-position tolerance of the search: a millionth of the chord.
constexpr double kSearchTolerance = 0.000001;
// Stored files were made with this step limit; keep it.
constexpr std::int16_t kMaxSteps = 6;
}  // namespace

// Newton iteration on x(t) = xs, starting from t = xs and not clamped to
// [0, 1]. After kMaxSteps steps the last update is returned untested.
void TSearch(State& s) {
  const double eps = kSearchTolerance;
  const int nv = static_cast<int>(s.ncp);
  s.t1 = s.xs;
  for (std::int16_t it = 1; it <= kMaxSteps; ++it) {
    BSPLEVD(s.ko, nv, s.tk, s.t1, s.c1, 1, s.f, s.b);
    const double xerr = std::fabs(s.f(0) - s.xs);
    if (xerr < eps) return;
    // A stationary point (x'(t) = 0, as at t = 0) gives no Newton step: keep t1.
    if (s.f(1) == 0) return;
    const double dt = (s.xs - s.f(0)) / s.f(1);
    s.t1 = s.t1 + dt;
  }
}

}  // namespace tarvelo
