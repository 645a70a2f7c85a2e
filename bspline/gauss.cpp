#include <cmath>

#include "bspline/bspline.h"

namespace tarvelo {

// Gaussian elimination with partial pivoting and row normalisation, then back
// substitution. The pivot comparison is strict, so the first of equally large
// rows is taken. A column is singular only when it is exactly zero: there is
// deliberately no tolerance, a nearly singular system is solved as it is.
void GAUSS(Array2<double>& h, int n2, Flag& lsing) {
  lsing = kFalse;
  for (int i = 1; i <= n2; ++i) {
    int ip = 0;
    double p = 0;
    for (int l = i; l <= n2; ++l) {
      if (std::fabs(h(l, i)) > std::fabs(p)) {
        ip = l;
        p = h(l, i);
      }
    }
    if (ip == 0) {
      lsing = kTrue;
      return;
    }
    // Columns left of i are never read again, so they are not exchanged.
    if (ip != i) {
      for (int j = i; j <= n2 + 1; ++j) {
        const double sg = h(ip, j);
        h(ip, j) = h(i, j);
        h(i, j) = sg;
      }
    }
    for (int j = i; j <= n2 + 1; ++j) h(i, j) = h(i, j) / p;
    if (i < n2) {
      for (int l = i + 1; l <= n2; ++l) {
        const double q = h(l, i);
        for (int j = i + 1; j <= n2 + 1; ++j) h(l, j) = h(l, j) - q * h(i, j);
      }
    }
  }
  for (int i = n2 - 1; i >= 1; --i) {
    double s = h(i, n2 + 1);
    for (int j = i + 1; j <= n2; ++j) s = s - h(i, j) * h(j, n2 + 1);
    h(i, n2 + 1) = s;
  }
}

}  // namespace tarvelo
