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
  // h(l, j) without the range checks, which the two above cover.
  const auto at = [h11, rows](int l, int j) -> double& { return h11[(l - 1) + (j - 1) * rows]; };

  for (int i = 1; i <= n2; ++i) {
    int ip = 0;
    double p = 0;
    for (int l = i; l <= n2; ++l) {
      if (std::fabs(at(l, i)) > std::fabs(p)) {
        ip = l;
        p = at(l, i);
      }
    }
    if (ip == 0) {
      lsing = kTrue;
      return;
    }
    // Columns left of i are never read again, so they are not exchanged.
    if (ip != i) {
      for (int j = i; j <= n2 + 1; ++j) {
        const double sg = at(ip, j);
        at(ip, j) = at(i, j);
        at(i, j) = sg;
      }
    }
    for (int j = i; j <= n2 + 1; ++j) at(i, j) = at(i, j) / p;
    for (int j = i + 1; j <= n2 + 1; ++j) {
      const double hij = at(i, j);
      for (int l = i + 1; l <= n2; ++l) at(l, j) = at(l, j) - at(l, i) * hij;
    }
  }
  for (int i = n2 - 1; i >= 1; --i) {
    double s = at(i, n2 + 1);
    for (int j = i + 1; j <= n2; ++j) s = s - at(i, j) * at(j, n2 + 1);
    at(i, n2 + 1) = s;
  }
}

}  // namespace tarvelo
