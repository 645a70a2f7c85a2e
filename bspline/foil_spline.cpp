// FoilSpline::Evaluate: a stored section at any chord position, in double
// precision throughout. Unlike the fit, which keeps the rounding of its own
// arithmetic, this evaluates the spline the .FOI file describes as exactly as
// a double allows.
#include <tarvelo/tarvelo.h>

#include <array>
#include <charconv>
#include <cfloat>
#include <cmath>

#include "bspline/bspline.h"
#include "bspline/outline_spline.h"

namespace tarvelo {

namespace {

constexpr int kOrder = 4;
constexpr int kMostPoints = 64;
// Enough for bisection from [0, 1] down to the spacing of doubles near any t;
// the Newton steps normally end the search in a handful.
constexpr int kMostIterations = 2000;

// The cubic (order 4) and quadratic (order 3) basis functions at t that can be
// non-zero, by the Cox-de Boor recursion with double-precision divisors.
// cubic[r] belongs to function ii-3+r, quadratic[r] to ii-2+r (1-based).
struct LocalBasis {
  int ii = 0;
  std::array<double, kOrder> cubic{};
  std::array<double, kOrder - 1> quadratic{};
};

LocalBasis BasisAt(const Array1<double>& tk, int n, double t) {
  LocalBasis out;
  int ii = kOrder;
  for (int i = kOrder; i <= n; ++i) {
    ii = i;
    if (tk(i + 1) > t) break;
  }
  out.ii = ii;
  // row[m][r]: order m+1 function starting at knot ii-m+r.
  std::array<std::array<double, kOrder>, kOrder> row{};
  row[0][0] = 1;
  for (int m = 1; m < kOrder; ++m) {
    for (int r = 0; r <= m; ++r) {
      const int i = ii - m + r;  // first knot of this function
      double v = 0;
      if (r > 0) {  // the order-m function starting at i, weighted up
        const double den = tk(i + m) - tk(i);
        if (den != 0) v += (t - tk(i)) * row[m - 1][r - 1] / den;
      }
      if (r < m) {  // the order-m function starting at i+1, weighted down
        const double den = tk(i + m + 1) - tk(i + 1);
        if (den != 0) v += (tk(i + m + 1) - t) * row[m - 1][r] / den;
      }
      row[m][r] = v;
    }
  }
  for (int r = 0; r < kOrder; ++r) out.cubic[r] = row[3][r];
  for (int r = 0; r < kOrder - 1; ++r) out.quadratic[r] = row[2][r];
  return out;
}

// Sum of c(j) * B(j, t) over the cubic functions that can be non-zero.
double Spline(const std::vector<double>& c, const LocalBasis& b) {
  double sum = 0;
  for (int r = 0; r < kOrder; ++r) sum += c[static_cast<std::size_t>(b.ii - 4 + r)] * b.cubic[r];
  return sum;
}

// dx/dt: the derivative of a cubic spline is a quadratic one with the
// coefficients 3 (c(j) - c(j-1)) / (tk(j+3) - tk(j)).
double Slope(const std::vector<double>& c, const Array1<double>& tk, const LocalBasis& b) {
  double sum = 0;
  for (int r = 0; r < kOrder - 1; ++r) {
    const int j = b.ii - 2 + r;  // 1-based
    const double den = tk(j + 3) - tk(j);
    if (den != 0)
      sum += 3 * (c[static_cast<std::size_t>(j - 1)] - c[static_cast<std::size_t>(j - 2)]) / den *
             b.quadratic[r];
  }
  return sum;
}

std::string Text(double v) {
  std::array<char, 64> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), res.ptr);
}

constexpr const char* kNotAFoilSpline =
    "   The foil spline is not one of 4 to 64 cubic control points with x from 0 to 1 !! ";

// The knot vector of a foil spline of 4 to 64 cubic control points.
Array1<double> KnotsOf(const FoilSpline& foil) {
  const std::size_t n = foil.control_x.size();
  if (foil.order != kOrder || n < kOrder || n > kMostPoints || foil.thickness.size() != n ||
      foil.camber.size() != n)
    throw Error(kNotAFoilSpline);
  const int nv = static_cast<int>(n);
  Array1<double> tk;
  tk.allocate(1, nv + kOrder);
  KNOTS(kOrder, nv, tk);
  return tk;
}

}  // namespace

FoilSpline::Value FoilSpline::Evaluate(double x) const {
  if (!(x >= 0 && x <= 1))
    throw Error("   " + Text(x) + " is not a chord position from 0 to 1 !! ");
  const Array1<double> tk = KnotsOf(*this);
  if (!(control_x.front() <= x && x <= control_x.back())) throw Error(kNotAFoilSpline);
  const int nv = static_cast<int>(control_x.size());

  // Newton's method on x(t) = x, kept inside a bracket [lo, hi] that always
  // holds the root; a step that would leave it, or a flat spot, bisects.
  double lo = 0;
  double hi = 1;
  double t = std::sqrt(x);  // x(t) is t^2 for a fit's spline
  for (int it = 0; it < kMostIterations; ++it) {
    const LocalBasis b = BasisAt(tk, nv, t);
    const double f = Spline(control_x, b) - x;
    if (f == 0) break;
    (f < 0 ? lo : hi) = t;
    const double slope = Slope(control_x, tk, b);
    double next = slope > 0 ? t - f / slope : lo;
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    // Converged when the step no longer moves t, or the bracket has closed
    // to neighbouring doubles.
    if (next == t || !(lo < next && next < hi)) break;
    t = next;
  }
  const LocalBasis b = BasisAt(tk, nv, t);
  return {Spline(thickness, b), Spline(camber, b)};
}

void CheckOutlineSize(const OutlineSize& size) {
  if (!(size.thickness > 0 && size.thickness <= 1))
    throw Error("   The largest thickness must be above 0 and at most 1 (a fraction of the chord) !! ");
  if (!(size.camber >= -1 && size.camber <= 1))
    throw Error("   The largest camber must be from -1 to 1 (a fraction of the chord) !! ");
}

OutlineSpline SectionOutline(const FoilSpline& foil, const OutlineSize& size) {
  CheckOutlineSize(size);
  const Array1<double> tk = KnotsOf(foil);
  OutlineSpline out;
  out.knots.assign(tk.span().begin(), tk.span().end());
  out.x = foil.control_x;
  for (std::size_t j = 0; j < foil.control_x.size(); ++j) {
    const double half = size.thickness * foil.thickness[j] / 2;
    out.upper.push_back(size.camber * foil.camber[j] + half);
    out.lower.push_back(size.camber * foil.camber[j] - half);
  }
  return out;
}

}  // namespace tarvelo
