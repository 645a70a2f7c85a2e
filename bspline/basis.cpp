#include <algorithm>

#include "bspline/bspline.h"

namespace tarvelo {

// Cox-de Boor recursion in its triangular form, orders 1 to ko.
//
// The knot differences that divide are rounded to single precision before the
// zero test and the division (stored results depend on it: 0.2 divides as
// 0.20000000298...). Products, quotients and sums stay in double precision.
// A term whose divisor is zero is 0, so row nv+1 is never read.
//
// This is the innermost routine of the fit (several calls per data point), so
// the ranges of tk and b are checked once and the columns of b are then walked
// directly; the one read that depends on the knot values, row i+1 of b, is
// checked where it happens.
int COXDSpan(int ko, int nv, const Array1<double>& tk, double t1, Array2<double>& b) {
  if (!tk.has(1) || !tk.has(nv + ko)) detail::index_error(nv + ko, tk.lo(), tk.hi());
  if (b.lo1() != 1 || !b.has(nv, 1) || !b.has(nv, ko)) detail::index_error(nv, b.lo1(), b.hi1());
  const double* const t1k = &tk(1);
  const auto t = [t1k](int i) { return t1k[i - 1]; };  // t(i) is tk(i)

  // Span search: tk(ii) <= t1 < tk(ii+1); t1 >= 1 falls in the last span and
  // t1 < 0 in the first, whose polynomial piece is then continued.
  int ii = ko;
  for (int i = ko; i <= nv; ++i) {
    ii = i;
    if (t(i + 1) > t1) break;
  }

  // Every column is cleared before it is filled; clearing them all first gives
  // the same table, since column m is not touched before its own turn. When
  // the table has exactly nv rows, columns 1..ko are one contiguous block.
  if (b.rows() == nv) {
    std::fill_n(b.column(1).data(), static_cast<std::size_t>(nv) * static_cast<std::size_t>(ko), 0.0);
  } else {
    for (int m = 1; m <= ko; ++m) std::fill_n(b.column(m).data(), nv, 0.0);
  }
  b.column(1)[static_cast<std::size_t>(ii - 1)] = 1;

  for (int m = 2; m <= ko; ++m) {
    double* const bm = b.column(m).data();            // bm[i - 1] is b(i, m)
    const double* const bp = b.column(m - 1).data();  // bp[i - 1] is b(i, m-1)
    for (int i = ii - m + 1; i <= ii; ++i) {
      double d1 = 0;
      float den = static_cast<float>(t(i + m - 1) - t(i));
      if (den != 0) d1 = ((t1 - t(i)) * bp[i - 1]) / static_cast<double>(den);
      double d2 = 0;
      den = static_cast<float>(t(i + m) - t(i + 1));
      if (den != 0) {
        if (i + 1 > nv) detail::index_error(i + 1, 1, nv);
        d2 = ((t(i + m) - t1) * bp[i]) / static_cast<double>(den);
      }
      bm[i - 1] = d1 + d2;
    }
  }
  return ii;
}

void COXD(int ko, int nv, const Array1<double>& tk, double t1, Array2<double>& b) {
  COXDSpan(ko, nv, tk, t1, b);
}

}  // namespace tarvelo
