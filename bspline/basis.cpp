#include "bspline/bspline.h"

namespace tarvelo {

// Cox-de Boor recursion in its triangular form, orders 1 to ko.
//
// The knot differences that divide are rounded to single precision before the
// zero test and the division (stored results depend on it: 0.2 divides as
// 0.20000000298...). Products, quotients and sums stay in double precision.
// A term whose divisor is zero is 0, so row nv+1 is never read.
void COXD(int ko, int nv, const Array1<double>& tk, double t1, Array2<double>& b) {
  // Span search: tk(ii) <= t1 < tk(ii+1); t1 >= 1 falls in the last span and
  // t1 < 0 in the first, whose polynomial piece is then continued.
  int ii = ko;
  for (int i = ko; i <= nv; ++i) {
    ii = i;
    if (tk(i + 1) > t1) break;
  }

  for (int i = 1; i <= nv; ++i) b(i, 1) = 0;
  b(ii, 1) = 1;

  for (int m = 2; m <= ko; ++m) {
    for (int i = 1; i <= nv; ++i) b(i, m) = 0;
    for (int i = ii - m + 1; i <= ii; ++i) {
      double d1 = 0;
      float den = static_cast<float>(tk(i + m - 1) - tk(i));
      if (den != 0) d1 = ((t1 - tk(i)) * b(i, m - 1)) / static_cast<double>(den);
      double d2 = 0;
      den = static_cast<float>(tk(i + m) - tk(i + 1));
      if (den != 0) d2 = ((tk(i + m) - t1) * b(i + 1, m - 1)) / static_cast<double>(den);
      b(i, m) = d1 + d2;
    }
  }
}

}  // namespace tarvelo
