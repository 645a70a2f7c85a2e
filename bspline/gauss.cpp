#include <cmath>
#include <cstddef>

#include "bspline/bspline.h"

namespace tarvelo {

// Gaussian elimination with partial pivoting and row normalisation, then back
// substitution. The pivot comparison is strict, so the first of equally large
// rows is taken. A column is singular only when it is exactly zero: there is
// deliberately no tolerance, a nearly singular system is solved as it is.
//
// The table is stored column by column, so the elimination runs down each
// column rather than along each row: every element still gets the same one
// update per pivot, h(l, j) - h(l, i) * h(i, j), so the results are the same.
void GAUSS(Array2<double>& h, int n2, Flag& lsing) {
  lsing = kFalse;
  if (n2 < 1) return;
  if (!h.has(1, 1)) detail::index_error(1, h.lo1(), h.hi1());
  if (!h.has(n2, n2 + 1)) detail::index_error(n2 + 1, h.lo2(), h.hi2());
  const auto rows = static_cast<std::ptrdiff_t>(h.rows());
  double* const h11 = &h(1, 1);
  // col(j)[l] is h(l, j), l and j from 1.
  const auto col = [h11, rows](int j) { return h11 + (j - 1) * rows - 1; };

  for (int i = 1; i <= n2; ++i) {
    double* const ci = col(i);
    int ip = 0;
    double p = 0;
    for (int l = i; l <= n2; ++l) {
      if (std::fabs(ci[l]) > std::fabs(p)) {
        ip = l;
        p = ci[l];
      }
    }
    if (ip == 0) {
      lsing = kTrue;
      return;
    }
    // Columns left of i are never read again, so they are not exchanged.
    if (ip != i) {
      for (int j = i; j <= n2 + 1; ++j) {
        double* const cj = col(j);
        const double sg = cj[ip];
        cj[ip] = cj[i];
        cj[i] = sg;
      }
    }
    for (int j = i; j <= n2 + 1; ++j) col(j)[i] = col(j)[i] / p;
    for (int j = i + 1; j <= n2 + 1; ++j) {
      double* const cj = col(j);
      const double hij = cj[i];
      for (int l = i + 1; l <= n2; ++l) cj[l] = cj[l] - ci[l] * hij;
    }
  }
  double* const rhs = col(n2 + 1);
  for (int i = n2 - 1; i >= 1; --i) {
    double s = rhs[i];
    for (int j = i + 1; j <= n2; ++j) s = s - col(j)[i] * rhs[j];
    rhs[i] = s;
  }
}

}  // namespace tarvelo
