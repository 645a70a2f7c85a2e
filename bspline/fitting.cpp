#include "bspline/fitting.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>
#include <vector>

#include "bspline/bspline.h"
#include "bspline/exact.h"
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
  SpanBasis spans;
  const bool lean = ko == SpanBasis::kOrder && spans.Prepare(nv, tk);
  double t1 = 0;
  for (int ir = 1; ir <= nv - 3; ++ir) {
    t1 = static_cast<double>(3 * ir) / ns;
    if (ir == nv - 3) t1 = 1 - 1.0 / ns;
    // Unknowns xcp(3)..xcp(nv-1); xcp(nv) = 1 moves to the right-hand side.
    if (lean) {
      // Column ko of COXD's table is the span's values and exact zeros.
      SpanValues at;
      spans.Evaluate(t1, at);
      for (int l = 1; l <= nv - 3; ++l) h(ir, l) = 0.0;
      double last = 0;
      for (int r = 0; r < ko; ++r) {
        const int j = at.ii - ko + 1 + r;
        if (j >= 3 && j <= nv - 1) h(ir, j - 2) = at.cubic[static_cast<std::size_t>(r)];
        if (j == nv) last = at.cubic[static_cast<std::size_t>(r)];
      }
      h(ir, nv - 2) = t1 * t1 - last;
    } else {
      COXD(ko, nv, tk, t1, b);
      for (int l = 1; l <= nv - 3; ++l) h(ir, l) = b(l + 2, ko);
      h(ir, nv - 2) = t1 * t1 - b(nv, ko);
    }
  }
  // The table as COXD leaves it at the last row.
  if (lean) COXD(ko, nv, tk, t1, b);
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
  if (ko != SpanBasis::kOrder || !c1.has(1, 0) || !c1.has(nv, 1) || !spans.Prepare(nv, tk)) {
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
  SearchEnd last;
  spans.SearchAll(c1.column(0), c1.column(1), xin, [&](std::size_t p, const SearchEnd& end) {
    const int i = static_cast<int>(p) + 1;
    std::ranges::copy(end.basis.cubic, bd.set_band(i, end.basis.ii - ko + 1).begin());
    if (i == nd) last = end;
  });
  // What the plain routines leave behind: x and dx/dt of the last search's
  // last iterate, and the basis table at the last parameter.
  f(0) = last.x;
  f(1) = last.dxdt;
  COXD(ko, nv, tk, last.t1, b);
}

void ExactXSpline(int nv, const Array1<double>& tk, Array1<double>& xcp) {
  xcp.allocate(1, nv);
  for (int j = 1; j <= nv; ++j) {
    const double a = tk(j + 1), b = tk(j + 2), c = tk(j + 3);
    xcp(j) = (a * b + a * c + b * c) / 3;
  }
}

void PlacePointsExactly(const Array1<double>& tk, const Array1<double>& xcp, std::span<const double> xin,
                        std::span<const double> starts, BandArray<double>& bd, std::vector<double>& t) {
  constexpr int ko = kCubicOrder;
  const int nd = static_cast<int>(xin.size());
  const int nv = xcp.size();
  bd.allocate(1, nd, 1, nv, ko);
  t.resize(xin.size());
  const std::span<const double> x = xcp.span();
  const ExactSpans spans(tk.span(), nv);
  const std::vector<double> dx = spans.Derivative(x);
  for (int i = 1; i <= nd; ++i) {
    const double xi = xin[static_cast<std::size_t>(i - 1)];
    const auto r = static_cast<std::size_t>(i - 1);
    const double start = r < starts.size() ? starts[r] : std::sqrt(std::max(xi, 0.0));
    const Parameter at = spans.ParameterAt(x, dx, xi, start);
    t[static_cast<std::size_t>(i - 1)] = at.t;
    std::ranges::copy(at.basis.cubic, bd.set_band(i, at.basis.ii - ko + 1).begin());
  }
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
  // never -0, which changes nothing. The sums are kept for all nv control
  // points, so that each band adds a whole w x w block without a test; the
  // rows and columns of the two fixed ones are left out afterwards.
  const std::span<const int> firsts = bd.firsts();
  const std::span<const double> values = bd.values();
  const auto v = static_cast<std::size_t>(nv);
  const auto bw = static_cast<std::size_t>(w);
  std::vector<double> sums(v * (v + 1));  // sums[(d - 1) * nv + (c - 1)] pairs c with d; d = nv+1 is the right-hand side
  for (std::size_t i = 0; i < n; ++i) {
    const double* const band = &values[i * bw];  // band[a] is bd(i + 1, first + a)
    const auto first = static_cast<std::size_t>(firsts[i] - 1);
    double* const block = &sums[first * (v + 1)];
    for (std::size_t b = 0; b < bw; ++b) {
      double* const column = block + b * v;
      for (std::size_t a = 0; a < bw; ++a) column[a] += band[a] * band[b];
    }
    double* const rhs = &sums[v * v + first];
    const double yri = static_cast<double>(yr[i]);
    for (std::size_t a = 0; a < bw; ++a) rhs[a] += band[a] * yri;
  }
  h.allocate(1, n2, 1, n2 + 1);
  for (int l = 1; l <= n2 + 1; ++l) {
    const double* const from = &sums[static_cast<std::size_t>(l == n2 + 1 ? nv : l) * v + 1];
    std::copy_n(from, n2, h.column(l).data());
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
  for (std::size_t r = 0; r < n; ++r) {
    const int first = firsts[r];
    const double* const band = &values[r * bw];
    double xv = 0;
    double yv = 0;
    for (int j = std::max(2, first); j <= std::min(nv, first + w - 1); ++j) {
      const double bij = band[j - first];
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
