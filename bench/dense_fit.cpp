#include "bench/dense_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "bspline/bspline.h"

namespace tarvelo::bench {

namespace {

constexpr int kOrder = 4;

// A table with 1-based rows and columns, stored row by row.
class Table {
 public:
  Table(int rows, int cols) : cols_(cols + 1), v_(static_cast<std::size_t>((rows + 1) * (cols + 1))) {}
  double& operator()(int i, int j) { return v_[static_cast<std::size_t>(i * cols_ + j)]; }
  void Clear() { std::fill(v_.begin(), v_.end(), 0.0); }

 private:
  int cols_;
  std::vector<double> v_;
};

// Cox-de Boor, triangular form, every column cleared first; knot
// differences divide in single precision.
void Basis(int nv, const std::vector<double>& tk, double t1, Table& b) {
  int ii = kOrder;
  for (int i = kOrder; i <= nv; ++i) {
    ii = i;
    if (tk[static_cast<std::size_t>(i + 1)] > t1) break;
  }
  b.Clear();
  b(ii, 1) = 1;
  const auto t = [&tk](int i) { return tk[static_cast<std::size_t>(i)]; };
  for (int m = 2; m <= kOrder; ++m) {
    for (int i = ii - m + 1; i <= ii; ++i) {
      double d1 = 0;
      float den = static_cast<float>(t(i + m - 1) - t(i));
      if (den != 0) d1 = ((t1 - t(i)) * b(i, m - 1)) / static_cast<double>(den);
      double d2 = 0;
      den = static_cast<float>(t(i + m) - t(i + 1));
      if (den != 0) d2 = ((t(i + m) - t1) * b(i + 1, m - 1)) / static_cast<double>(den);
      b(i, m) = d1 + d2;
    }
  }
}

// Gaussian elimination with partial pivoting, row by row; false if singular.
bool Solve(Table& h, int n2) {
  for (int i = 1; i <= n2; ++i) {
    int ip = 0;
    double p = 0;
    for (int l = i; l <= n2; ++l)
      if (std::fabs(h(l, i)) > std::fabs(p)) {
        ip = l;
        p = h(l, i);
      }
    if (ip == 0) return false;
    if (ip != i)
      for (int j = i; j <= n2 + 1; ++j) std::swap(h(ip, j), h(i, j));
    for (int j = i; j <= n2 + 1; ++j) h(i, j) = h(i, j) / p;
    for (int l = i + 1; l <= n2; ++l) {
      const double q = h(l, i);
      for (int j = i + 1; j <= n2 + 1; ++j) h(l, j) = h(l, j) - q * h(i, j);
    }
  }
  for (int i = n2 - 1; i >= 1; --i) {
    double s = h(i, n2 + 1);
    for (int j = i + 1; j <= n2; ++j) s = s - h(i, j) * h(j, n2 + 1);
    h(i, n2 + 1) = s;
  }
  return true;
}

}  // namespace

DenseFit FitDense(const std::vector<double>& x, const std::array<std::vector<double>, 2>& y, int nv) {
  DenseFit out;
  const int nd = static_cast<int>(x.size());
  std::array<std::vector<double>, 2> yd = y;
  std::array<double, 2> ymax{};
  for (std::size_t k = 0; k < 2; ++k) {
    for (double v : yd[k])
      if (v > ymax[k]) ymax[k] = v;
    if (ymax[k] > 0)
      for (double& v : yd[k]) v = v / ymax[k];
  }

  std::vector<double> tk(static_cast<std::size_t>(nv + kOrder + 1));
  for (int i = kOrder + 1; i <= nv; ++i)
    tk[static_cast<std::size_t>(i)] = static_cast<double>(i - kOrder) / (nv - kOrder + 1);
  for (int i = nv + 1; i <= nv + kOrder; ++i) tk[static_cast<std::size_t>(i)] = 1;
  Table b(nv + 1, kOrder);

  // x(t) = t^2: interpolation at the interior knots and a third of a span before the end.
  const int ns = 3 * (nv - 3);
  Table h(nv - 3, nv - 2);
  for (int ir = 1; ir <= nv - 3; ++ir) {
    const double t1 = ir == nv - 3 ? 1 - 1.0 / ns : static_cast<double>(3 * ir) / ns;
    Basis(nv, tk, t1, b);
    for (int l = 1; l <= nv - 3; ++l) h(ir, l) = b(l + 2, kOrder);
    h(ir, nv - 2) = t1 * t1 - b(nv, kOrder);
  }
  if (!Solve(h, nv - 3)) {
    out.singular = true;
    return out;
  }
  std::vector<double> xcp(static_cast<std::size_t>(nv + 1));
  for (int l = 1; l <= nv - 3; ++l) xcp[static_cast<std::size_t>(l + 2)] = h(l, nv - 2);
  xcp[static_cast<std::size_t>(nv)] = 1;

  // dx/dt as an order-3 spline.
  std::vector<double> dx(static_cast<std::size_t>(nv + 1));
  for (int i = 2; i <= nv; ++i) {
    const double delta = tk[static_cast<std::size_t>(i + kOrder - 1)] - tk[static_cast<std::size_t>(i)];
    if (delta != 0)
      dx[static_cast<std::size_t>(i)] =
          ((xcp[static_cast<std::size_t>(i)] - xcp[static_cast<std::size_t>(i - 1)]) * (kOrder - 1)) / delta;
  }

  // Newton's search for each point's parameter, then its dense basis row.
  Table bd(nd, nv);
  for (int p = 1; p <= nd; ++p) {
    const double xs = x[static_cast<std::size_t>(p - 1)];
    double t1 = xs;
    for (int it = 1; it <= kSearchSteps; ++it) {
      Basis(nv, tk, t1, b);
      double f0 = 0;
      double f1 = 0;
      for (int i = 1; i <= nv; ++i) f0 = f0 + b(i, kOrder) * xcp[static_cast<std::size_t>(i)];
      for (int i = 2; i <= nv; ++i) f1 = f1 + b(i, kOrder - 1) * dx[static_cast<std::size_t>(i)];
      if (std::fabs(f0 - xs) < kSearchTolerance || f1 == 0) break;
      t1 = t1 + (xs - f0) / f1;
    }
    Basis(nv, tk, t1, b);
    for (int j = 1; j <= nv; ++j) bd(p, j) = b(j, kOrder);
  }

  // Least squares per curve, both end control points fixed.
  const int n2 = nv - 2;
  out.xd.resize(static_cast<std::size_t>(nd));
  for (int k = 0; k < 2; ++k) {
    const std::vector<double>& d = yd[static_cast<std::size_t>(k)];
    const double last = d[static_cast<std::size_t>(nd - 1)];
    Table a(n2, n2 + 1);
    for (int p = 1; p <= nd; ++p) {
      const double yr = static_cast<float>(d[static_cast<std::size_t>(p - 1)] - last * bd(p, nv));
      for (int j = 1; j <= n2; ++j) {
        for (int l = 1; l <= n2; ++l) a(j, l) += bd(p, j + 1) * bd(p, l + 1);
        a(j, n2 + 1) += bd(p, j + 1) * yr;
      }
    }
    if (!Solve(a, n2)) {
      out.singular = true;
      return out;
    }
    std::vector<double>& ycp = out.ycp[static_cast<std::size_t>(k)];
    ycp.assign(static_cast<std::size_t>(nv), 0.0);
    for (int j = 2; j <= nv - 1; ++j) ycp[static_cast<std::size_t>(j - 1)] = a(j - 1, n2 + 1);
    ycp[static_cast<std::size_t>(nv - 1)] = last;
    double sq = 0;
    auto& yfit = out.yfit[static_cast<std::size_t>(k)];
    auto& dy = out.dy[static_cast<std::size_t>(k)];
    yfit.resize(static_cast<std::size_t>(nd));
    dy.resize(static_cast<std::size_t>(nd));
    for (int p = 1; p <= nd; ++p) {
      double xv = 0;
      double yv = 0;
      for (int j = 2; j <= nv; ++j) {
        yv = yv + bd(p, j) * ycp[static_cast<std::size_t>(j - 1)];
        xv = xv + bd(p, j) * xcp[static_cast<std::size_t>(j)];
      }
      const auto r = static_cast<std::size_t>(p - 1);
      out.xd[r] = xv;
      yfit[r] = yv;
      dy[r] = static_cast<float>(yv - d[r]);
      sq = sq + static_cast<double>(dy[r]) * static_cast<double>(dy[r]);
    }
    const double scale = ymax[static_cast<std::size_t>(k)];
    out.rms[static_cast<std::size_t>(k)] = (scale > 0 ? scale : 1.0) * std::sqrt(sq / nd);
  }
  out.xcp.assign(xcp.begin() + 1, xcp.end());
  return out;
}

}  // namespace tarvelo::bench
