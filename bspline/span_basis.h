// The cubic basis and the parameter search of the fit without the full table:
// only the functions of one knot span, in a table of 4 x 4, with every range
// checked once when the knots are prepared. Each stored value is the one
// COXD, BSPLEVD and TSearch give, to the last bit; they remain the reference.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "state/array.h"

namespace tarvelo {

// Values of the cubic basis at one parameter that can be non-zero: the knot
// span ii, cubic[r] = b(ii-3+r, 4) and quadratic[r] = b(ii-2+r, 3).
struct SpanValues {
  int ii = 0;
  std::array<double, 4> cubic{};
  std::array<double, 3> quadratic{};
};

// Where a parameter search ended: the parameter, the basis there, and x and
// dx/dt of the last iterate evaluated (which is t1 unless the step limit ended
// the search).
struct SearchEnd {
  double t1 = 0;
  SpanValues basis;
  double x = 0;
  double dxdt = 0;
};

class SpanBasis {
 public:
  static constexpr int kOrder = 4;

  // Takes the knots tk (1..nv+4) and the x-spline coefficients c1 (1..nv,
  // 0..1) of a fit. False when the knots are not non-decreasing or the last
  // knot span is not clamped (the shortcuts below rest on both), or when a
  // table is smaller than nv: the caller then takes the plain routines.
  bool Prepare(int nv, const Array1<double>& tk, const Array2<double>& c1);

  // Knot span of t1, the same as COXD's linear search: the first i >= 4 with
  // tk(i+1) > t1, else nv. The uniform interior knots give a first guess
  // that the exact comparisons then move by a step at most.
  int Span(double t1) const {
    const double pos = t1 * static_cast<double>(nv_ - kOrder + 1);
    int ii = pos >= 1 ? (pos < nv_ - kOrder + 1 ? kOrder + static_cast<int>(pos) : nv_) : kOrder;
    while (ii < nv_ && !(t_[ii + 1] > t1)) ++ii;
    while (ii > kOrder && t_[ii] > t1) --ii;
    return ii;
  }

  // The Cox-de Boor recursion, triangular form, over the rows of span ii
  // alone, with COXD's single-precision divisors. COXD also computes the
  // terms that read a cleared row: (t1 - tk(i)) * 0 / den. With den > 0 that
  // is (t1 - tk(i)) * 0 exactly (a signed zero, or NaN for t1 infinite), so it
  // is kept as that product without the division.
  SpanValues Evaluate(double t1) const {
    SpanValues out;
    const int ii = Span(t1);
    out.ii = ii;
    const double* const den = &den_[static_cast<std::size_t>(ii - kOrder) * kDivisorsPerSpan];
    const double* const t = t_.data();
    std::array<double, kOrder> prev{1};  // prev[r] is b(ii-m+2+r, m-1)
    std::array<double, kOrder> next{};
#pragma GCC unroll 4
    for (int m = 2; m <= kOrder; ++m) {
      const double* const d = den + Offset(m);  // d[s] divides row s's first term
#pragma GCC unroll 4
      for (int r = 0; r < m; ++r) {
        const int i = ii - m + 1 + r;
        double d1 = 0;
        if (d[r] != 0) d1 = r > 0 ? ((t1 - t[i]) * prev[r - 1]) / d[r] : (t1 - t[i]) * 0.0;
        double d2 = 0;
        if (d[r + 1] != 0) d2 = r < m - 1 ? ((t[i + m] - t1) * prev[r]) / d[r + 1] : (t[i + m] - t1) * 0.0;
        next[r] = d1 + d2;
      }
      if (m == kOrder - 1)
        for (int r = 0; r < m; ++r) out.quadratic[r] = next[r];
      prev = next;
    }
    out.cubic = prev;
    return out;
  }

  // TSearch for the chord position xs: Newton's iteration on x(t) = xs from
  // t = xs, the same steps and stops, with x and dx/dt summed in BSPLEVD's
  // order from a zero start. Also returns the basis at the parameter found.
  SearchEnd Search(double xs) const {
    constexpr double kTolerance = 0.000001;  // TSearch's, a millionth of the chord
    constexpr int kMaxSteps = 6;             // TSearch's step limit
    SearchEnd end;
    end.t1 = xs;
    for (int it = 1; it <= kMaxSteps; ++it) {
      end.basis = Evaluate(end.t1);
      const int ii = end.basis.ii;
      double x = 0;
      for (int r = 0; r < kOrder; ++r) x = x + end.basis.cubic[r] * x_[ii - kOrder + 1 + r];
      double dxdt = 0;
      for (int r = 0; r < kOrder - 1; ++r) dxdt = dxdt + end.basis.quadratic[r] * dxdt_[ii - kOrder + 2 + r];
      end.x = x;
      end.dxdt = dxdt;
      if (std::fabs(x - xs) < kTolerance || dxdt == 0) return end;
      end.t1 = end.t1 + (xs - x) / dxdt;
    }
    end.basis = Evaluate(end.t1);
    return end;
  }

 private:
  // Divisors of span ii: for order m, float(tk(ii+s) - tk(ii-m+1+s)),
  // s = 0..m, at Offset(m); the second term of row s divides by entry s+1.
  static constexpr int Offset(int m) { return (m - 2) * (m + 3) / 2; }
  static constexpr int kDivisorsPerSpan = 12;  // Offset(kOrder + 1)

  int nv_ = 0;
  std::vector<double> t_;     // t_[i] is tk(i), i = 1..nv+4
  std::vector<double> den_;   // kDivisorsPerSpan per span 4..nv
  std::vector<double> x_;     // x_[i] is c1(i, 0)
  std::vector<double> dxdt_;  // dxdt_[i] is c1(i, 1)
};

}  // namespace tarvelo
