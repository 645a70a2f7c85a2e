#include "bspline/fitting.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#include "bspline/bspline.h"
#include "bspline/span_basis.h"

namespace tarvelo {

namespace {

// A double converts to single precision with defined behaviour only inside
// its range; NaN fails this test too.
bool FitsFloat(double v) { return std::fabs(v) <= FLT_MAX; }

void Require(bool ok, std::size_t have, std::size_t need) {
  if (!ok) detail::index_error(static_cast<long>(need), 1, static_cast<long>(have));
}

}  // namespace

bool SolveXSpline(int ko, int nv, const Array1<double>& tk, Array2<double>& b,
                  Array2<double>& h, Flag& lsing, Array1<double>& xcp) {
  // The row parameters 3*ir/ns are the interior knots ir/(nv-3), computed as
  // the run always has; the last row sits a third of a span before the end.
  const int ns = 3 * (nv - 3);
  for (int ir = 1; ir <= nv - 3; ++ir) {
    double t1 = static_cast<double>(3 * ir) / ns;
    if (ir == nv - 3) t1 = 1 - 1.0 / ns;
    COXD(ko, nv, tk, t1, b);
    // Unknowns xcp(3)..xcp(nv-1); xcp(nv) = 1 moves to the right-hand side.
    for (int l = 1; l <= nv - 3; ++l) h(ir, l) = b(l + 2, ko);
    h(ir, nv - 2) = t1 * t1 - b(nv, ko);
  }
  GAUSS(h, nv - 3, lsing);
  if (lsing != kFalse) return false;

  xcp(1) = 0;
  xcp(2) = 0;
  for (int l = 1; l <= nv - 3; ++l) xcp(l + 2) = h(l, nv - 2);
  xcp(nv) = 1;
  return true;
}

void PlacePoints(int ko, int nv, const Array1<double>& tk, const Array2<double>& c1,
                 std::span<const double> xin, Array1<double>& f, Array2<double>& b,
                 BandArray<double>& bd) {
  const int nd = static_cast<int>(xin.size());
  bd.allocate(1, nd, 1, nv, ko);
  if (nd == 0) return;
  SpanBasis spans;
  if (ko != SpanBasis::kOrder || !spans.Prepare(nv, tk, c1)) {
    // The plain routines, for other orders and knots, and to report a table
    // that is too small.
    double t1 = 0;
    for (int i = 1; i <= nd; ++i) {
      TSearch(ko, nv, tk, c1, xin[static_cast<std::size_t>(i - 1)], t1, f, b);
      // The search leaves the basis of its last iterate: evaluate at the result.
      const int ii = COXDSpan(ko, nv, tk, t1, b);
      const std::span<const double> column = std::as_const(b).column(ko);  // column[r - 1] is b(r, ko)
      std::ranges::copy(column.subspan(static_cast<std::size_t>(ii - ko), static_cast<std::size_t>(ko)),
                        bd.set_band(i, ii - ko + 1).begin());
    }
    return;
  }
  if (!f.has(0) || !f.has(1)) detail::index_error(1, f.lo(), f.hi());
  if (b.lo1() != 1 || !b.has(nv, 1) || !b.has(nv, ko)) detail::index_error(nv, b.lo1(), b.hi1());
  SearchEnd end;
  for (int i = 1; i <= nd; ++i) {
    end = spans.Search(xin[static_cast<std::size_t>(i - 1)]);
    std::ranges::copy(end.basis.cubic, bd.set_band(i, end.basis.ii - ko + 1).begin());
  }
  // What the plain routines leave behind: x and dx/dt of the last search's
  // last iterate, and the basis table at the last parameter.
  f(0) = end.x;
  f(1) = end.dxdt;
  COXD(ko, nv, tk, end.t1, b);
}

FitStatus RightHandSide(const CurveData& data, const BandArray<double>& bd, std::span<float> yr) {
  const std::size_t nd = data.values.size();
  Require(bd.rows() == static_cast<int>(nd) && yr.size() >= nd, yr.size(), nd);
  if (nd == 0) return FitStatus::Done;
  const int nv = bd.hi2();
  const double last = data[nd - 1];
  for (std::size_t i = 0; i < nd; ++i) {
    const double v = data[i] - last * bd(static_cast<int>(i) + 1, nv);
    if (!FitsFloat(v)) return FitStatus::Overflow;
    yr[i] = static_cast<float>(v);
  }
  return FitStatus::Done;
}

FitStatus FitCurve(int nv, const BandArray<double>& bd, std::span<const float> yr,
                   const CurveData& data, double ymax, const Array1<double>& xcp,
                   Array2<double>& h, Flag& lsing, CurveOutput& out) {
  const int nd = bd.rows();
  const auto n = static_cast<std::size_t>(nd);
  Require(data.values.size() == n && yr.size() >= n && out.yfit.size() >= n && out.dy.size() >= n &&
              (out.xd.empty() || out.xd.size() >= n),
          out.yfit.size(), n);
  Require(bd.lo2() == 1 && bd.hi2() == nv && xcp.has(1) && xcp.has(nv) &&
              out.ycp.size() >= static_cast<std::size_t>(nv),
          out.ycp.size(), static_cast<std::size_t>(nv));
  const int w = bd.width();
  const int n2 = nv - 2;

  // Normal equations of the unknowns l = 1..n2, control points 2..nv-1, in
  // the order of the data points. A data point adds only to the unknowns of
  // its band: every other product is an exact zero added to a sum that is
  // never -0, which changes nothing.
  h.allocate(1, n2, 1, n2 + 1);
  const auto hs = static_cast<std::ptrdiff_t>(h.rows());
  double* const h11 = h.column(1).data();  // h11[(j - 1) + (l - 1) * hs] is h(j, l)
  for (int i = 1; i <= nd; ++i) {
    const int first = bd.first(i);
    const std::span<const double> band = bd.band(i);  // band[c - first] is bd(i, c)
    const auto at = [&](int l) { return band[static_cast<std::size_t>(l + 1 - first)]; };
    const int lo = std::max(1, first - 1);
    const int hi = std::min(n2, first + w - 2);
    const double yri = static_cast<double>(yr[static_cast<std::size_t>(i - 1)]);
    for (int j = lo; j <= hi; ++j) {
      double* const hj = h11 + (j - 1);
      const double bij = at(j);
      for (int l = lo; l <= hi; ++l) hj[(l - 1) * hs] += bij * at(l);
      hj[n2 * hs] += bij * yri;
    }
  }
  GAUSS(h, n2, lsing);
  if (lsing != kFalse) return FitStatus::Singular;

  out.ycp[0] = 0;
  for (int j = 2; j <= nv - 1; ++j) out.ycp[static_cast<std::size_t>(j - 1)] = h(j - 1, n2 + 1);
  out.ycp[static_cast<std::size_t>(nv - 1)] = data[n - 1];
  for (int j = 1; j <= nv; ++j)
    if (!std::isfinite(out.ycp[static_cast<std::size_t>(j - 1)])) return FitStatus::Overflow;

  // The fit at the data points; control point 1 is 0 in both sums and skipped.
  const std::span<const double> x = xcp.span();  // x[j - 1] is xcp(j)
  double sq = 0;
  double largest = 0;
  std::size_t largestAt = 0;
  for (int i = 1; i <= nd; ++i) {
    const auto r = static_cast<std::size_t>(i - 1);
    const int first = bd.first(i);
    const std::span<const double> band = bd.band(i);
    double xv = 0;
    double yv = 0;
    for (int j = std::max(2, first); j <= std::min(nv, first + w - 1); ++j) {
      const double bij = band[static_cast<std::size_t>(j - first)];
      yv += bij * out.ycp[static_cast<std::size_t>(j - 1)];
      xv += bij * x[static_cast<std::size_t>(j - 1)];
    }
    if (!out.xd.empty()) out.xd[r] = xv;
    out.yfit[r] = yv;
    const double d = yv - data[r];
    if (!FitsFloat(d)) return FitStatus::Overflow;
    out.dy[r] = static_cast<float>(d);
    const double dyi = out.dy[r];  // the rounded value, squared in double precision
    sq += dyi * dyi;
    if (std::fabs(dyi) > largest) {
      largest = std::fabs(dyi);
      largestAt = r;
    }
  }
  // A curve with no positive value was not normalised: its error is already
  // per chord, and scaling it by 0 would hide a bad fit.
  const double scale = ymax > 0 ? ymax : 1.0;
  out.sq = sq;
  out.rms = scale * std::sqrt(sq / nd);
  out.max_deviation = scale * largest;
  out.max_at = largestAt;
  return FitStatus::Done;
}

}  // namespace tarvelo
