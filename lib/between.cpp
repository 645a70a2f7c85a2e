// The fit against the data's own curve between the data points.
#include "lib/between.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "bspline/bezier.h"

namespace tarvelo {

namespace {

// The fitted spline as cubic pieces in Bernstein form, one per knot interval.
class Pieces {
 public:
  Pieces(std::span<const double> knots, std::span<const double> control)
      : bezier_(BezierOrdinates(knots, control)) {
    for (double k : knots)
      if (breaks_.empty() || k > breaks_.back()) breaks_.push_back(k);
  }
  // The interior knots, where the spline changes form.
  const std::vector<double>& breaks() const { return breaks_; }
  double At(double t) const {
    const auto k = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(
        std::upper_bound(breaks_.begin(), breaks_.end(), t) - breaks_.begin() - 1, 0,
        static_cast<std::ptrdiff_t>(breaks_.size()) - 2));
    const double s = (t - breaks_[k]) / (breaks_[k + 1] - breaks_[k]), r = 1 - s;
    const double* b = &bezier_[3 * k];
    return r * r * r * b[0] + 3 * r * s * (r * b[1] + s * b[2]) + s * s * s * b[3];
  }

 private:
  std::vector<double> bezier_;
  std::vector<double> breaks_;
};

// The polynomial through up to four nodes, in Lagrange's form.
struct Through {
  std::array<double, 4> t{}, v{};
  std::size_t n = 0;
  double At(double u) const {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
      double w = v[i];
      for (std::size_t j = 0; j < n; ++j)
        if (j != i) w *= (u - t[j]) / (t[i] - t[j]);
      sum += w;
    }
    return sum;
  }
};

// The curve through the interval j of the nodes t.
Through Around(const std::vector<double>& t, const std::vector<double>& v, std::size_t j) {
  Through through;
  for (std::size_t i : DataCurveNodes(t, j)) through.t[through.n] = t[i], through.v[through.n++] = v[i];
  return through;
}

// The real roots of c2 w^2 + c1 w + c0 in (0, 1).
std::vector<double> RootsInside(double c2, double c1, double c0) {
  std::vector<double> roots;
  if (c2 == 0) {
    if (c1 != 0) roots.push_back(-c0 / c1);
  } else if (const double disc = c1 * c1 - 4 * c2 * c0; disc >= 0) {
    const double q = -(c1 + std::copysign(std::sqrt(disc), c1)) / 2;
    if (q != 0) roots.insert(roots.end(), {q / c2, c0 / q});
  }
  std::erase_if(roots, [](double w) { return !(w > 0 && w < 1); });
  return roots;
}

}  // namespace

std::vector<std::size_t> DataCurveNodes(std::span<const double> t, std::size_t j) {
  const double w = (t[j + 1] - t[j]) / 2;
  std::vector<std::size_t> nodes{j, j + 1};
  std::size_t left = j, right = j + 1;
  const auto stepLeft = [&] {
    if (left == 0) return false;
    std::size_t i = left - 1;
    while (i > 0 && t[i] > t[left] - w) --i;
    if (t[i] > t[left] - w) return false;
    nodes.push_back(left = i);
    return true;
  };
  const auto stepRight = [&] {
    std::size_t i = right + 1;
    while (i < t.size() && t[i] < t[right] + w) ++i;
    if (i == t.size()) return false;
    nodes.push_back(right = i);
    return true;
  };
  const bool l = stepLeft(), r = stepRight();
  if (!l && r) stepRight();
  if (l && !r) stepLeft();
  return nodes;
}

Stray BetweenPoints(std::span<const double> knots, std::span<const double> control, std::span<const double> x,
                    std::span<const double> values) {
  // The nodes in sqrt(x), sorted, data at one position merged into their mean.
  std::vector<std::size_t> order(x.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
  std::vector<double> t, v;
  std::size_t same = 0;
  for (std::size_t i : order) {
    const double ti = std::sqrt(std::max(x[i], 0.0));
    if (!t.empty() && ti == t.back()) {
      v.back() += (values[i] - v.back()) / static_cast<double>(++same + 1);
    } else {
      t.push_back(ti), v.push_back(values[i]), same = 0;
    }
  }
  Stray stray;
  if (t.empty()) return stray;
  stray.x = t.front() * t.front();
  const Pieces fit(knots, control);
  const auto look = [&](double u, double d) {
    if (std::fabs(d) > stray.deviation) stray = {std::fabs(d), u * u};
  };
  if (t.size() == 1) look(t[0], fit.At(t[0]) - v[0]);
  const std::vector<double>& breaks = fit.breaks();
  for (std::size_t j = 0; j + 1 < t.size(); ++j) {
    const Through data = Around(t, v, j);
    const auto d = [&](double u) { return fit.At(u) - data.At(u); };
    // The interval cut where the spline changes form.
    std::vector<double> cuts{t[j]};
    for (auto k = std::upper_bound(breaks.begin(), breaks.end(), t[j]); k != breaks.end() && *k < t[j + 1]; ++k)
      cuts.push_back(*k);
    cuts.push_back(t[j + 1]);
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
      const double a = cuts[c], h = cuts[c + 1] - a;
      // The difference is one cubic on the piece: from its values at four
      // equally spaced points, its coefficients in w = (u - a) / h.
      const double d0 = d(a), d1 = d(a + h / 3), d2 = d(a + 2 * h / 3), d3 = d(a + h);
      look(a, d0);
      look(a + h, d3);
      const double c1 = (-11 * d0 + 18 * d1 - 9 * d2 + 2 * d3) / 2;
      const double c2 = (18 * d0 - 45 * d1 + 36 * d2 - 9 * d3) / 2;
      const double c3 = (-9 * d0 + 27 * d1 - 27 * d2 + 9 * d3) / 2;
      for (double w : RootsInside(3 * c3, 2 * c2, c1)) look(a + w * h, d(a + w * h));
    }
  }
  return stray;
}

}  // namespace tarvelo
