#include "bspline/bspline.h"

namespace tarvelo {

// The d-th derivative of an order-ko spline is an order-(ko-d) spline on the
// same knots; column d is built from the finished column d-1.
void BSCOEFS(int ko, int nv, const Array1<double>& tk, int jd, Array2<double>& c1) {
  for (int d = 1; d <= jd; ++d) {
    for (int i = 1; i <= d; ++i) c1(i, d) = 0;
    for (int i = d + 1; i <= nv; ++i) {
      const double delta = tk(i + ko - d) - tk(i);
      if (delta != 0)
        c1(i, d) = ((c1(i, d - 1) - c1(i - 1, d - 1)) * static_cast<double>(ko - d)) / delta;
    }
  }
}

}  // namespace tarvelo
