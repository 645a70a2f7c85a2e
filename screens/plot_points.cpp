#include "bspline/bspline.h"
#include "screens/screens.h"

namespace tarvelo {

// Uniform in the parameter, not in x: since x(t) grows like t^2 near the
// leading edge, the points crowd there, where the curvature is.
void EvalPoints(State& s) {
  const int nv = static_cast<int>(s.ncp);
  // The engine takes the fit's knots as its 1-based table.
  Array1<double> tk;
  tk.allocate(1, nv + s.ko);
  for (int j = 1; j <= nv + s.ko; ++j) tk(j) = s.tk(j);
  s.b.allocate(1, nv, 0, s.ko);
  for (int k = 1; k <= 2; ++k) {
    for (int n = 0; n <= s.np; ++n) {
      s.t1 = static_cast<double>(n) / static_cast<double>(s.np);
      COXD(s.ko, nv, tk, s.t1, s.b);
      s.xv = 0;
      s.yv = 0;
      for (int j = 1; j <= nv; ++j) {
        s.xv = s.xv + s.b(j, s.ko) * s.xcp(j);
        s.yv = s.yv + s.b(j, s.ko) * s.ycp(j, k);
      }
      s.xp(n, k) = s.xv;
      s.yp(n, k) = s.yv;
    }
  }
}

}  // namespace tarvelo
