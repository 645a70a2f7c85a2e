#include <algorithm>

#include "bspline/bezier.h"

namespace tarvelo {

namespace {

constexpr std::size_t kDegree = 3;
// A knot as many times as the degree ends one polynomial piece's control
// points where the next one's begin.
constexpr std::ptrdiff_t kThreefold = 3;

// Boehm's insertion of knot u: the control points over the knot spans that
// hold u are replaced by one more, each an affine blend of two neighbours.
void InsertKnot(std::vector<double>& knots, std::vector<double>& control, double u) {
  // Span k: knots[k] <= u < knots[k + 1], the last copy of u when u is a knot.
  const auto k = static_cast<std::size_t>(
      std::upper_bound(knots.begin(), knots.end(), u) - knots.begin() - 1);
  std::vector<double> blended(control.size() + 1);
  for (std::size_t i = 0; i < blended.size(); ++i) {
    if (i + kDegree <= k) {
      blended[i] = control[i];
    } else if (i > k) {
      blended[i] = control[i - 1];
    } else {
      const double a = (u - knots[i]) / (knots[i + kDegree] - knots[i]);
      blended[i] = (1 - a) * control[i - 1] + a * control[i];
    }
  }
  knots.insert(knots.begin() + static_cast<std::ptrdiff_t>(k) + 1, u);
  control = std::move(blended);
}

}  // namespace

std::vector<double> BezierOrdinates(std::span<const double> knots, std::span<const double> control) {
  std::vector<double> t(knots.begin(), knots.end());
  std::vector<double> c(control.begin(), control.end());
  // The interior knots lie between the fourfold knots of the clamped ends.
  for (std::size_t i = kDegree + 1; i + kDegree + 1 < t.size(); ++i) {
    const double u = t[i];
    for (std::ptrdiff_t n = std::count(t.begin(), t.end(), u); n < kThreefold; ++n)
      InsertKnot(t, c, u);
  }
  return c;
}

}  // namespace tarvelo
