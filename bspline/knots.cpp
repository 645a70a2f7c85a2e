#include "bspline/bspline.h"

namespace tarvelo {

// Each interior knot is one division, not an accumulated sum of steps, so
// that 0.2 is the double nearest to one fifth.
void KNOTS(int ko, int nv, Array1<double>& tk) {
  for (int i = 1; i <= ko; ++i) tk(i) = 0;
  for (int i = ko + 1; i <= nv; ++i)
    tk(i) = static_cast<double>(i - ko) / static_cast<double>(nv - ko + 1);
  for (int i = nv + 1; i <= nv + ko; ++i) tk(i) = 1;
}

}  // namespace tarvelo
