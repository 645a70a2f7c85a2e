// The cubic basis and the parameter search of the fit without the full table:
// only the functions of one knot span, a few values on the stack, with every
// range checked once when the knots are prepared. Each stored value is the one
// COXD, BSPLEVD and TSearch give, to the last bit; they remain the reference.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bspline/bspline.h"
#include "bspline/array.h"

namespace tarvelo {

// Two doubles computed lane by lane, each exactly as the scalar operation
// (GCC and Clang vector extensions: SSE2 on x86-64, NEON on AArch64). The
// divider takes a pair about as fast as a single value.
using Pair = double __attribute__((vector_size(16)));

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

namespace detail {
// Where the divisors of order m start among those of one knot span.
constexpr int DivisorOffset(int m) { return (m - 2) * (m + 3) / 2; }
}  // namespace detail

class SpanBasis {
 public:
  static constexpr int kOrder = 4;

  // Takes the knots tk (1..nv+4). False when they are not non-decreasing or
  // the last knot span is not clamped (the shortcuts below rest on both): the
  // caller then takes the plain routines.
  bool Prepare(int nv, const Array1<double>& tk);

  // Knot span of t1, the same as COXD's linear search: the first i >= 4 with
  // tk(i+1) > t1, else nv. Uniform interior knots give a first guess that
  // the exact comparisons then move by a step at most.
  int Span(double t1) const {
    const double pos = t1 * static_cast<double>(nv_ - kOrder + 1);
    int ii = pos >= 1 ? (pos < nv_ - kOrder + 1 ? kOrder + static_cast<int>(pos) : nv_) : kOrder;
    while (ii < nv_ && !(t_[ii + 1] > t1)) ++ii;
    while (ii > kOrder && t_[ii] > t1) --ii;
    return ii;
  }

  // The Cox-de Boor recursion, triangular form, over the rows of span ii
  // alone, with COXD's single-precision divisors.
  //
  // COXD's first term of row s and second term of row s-1 share a divisor
  // and a factor: (t1 - tk(i), tk(i+m) - t1) * b(ii-m+1+s, m-1) / den. Each
  // such pair is one two-lane product and division. COXD also computes the
  // terms that read a cleared row, (t1 - tk(i)) * 0 / den: with den > 0 that
  // is (t1 - tk(i)) * 0 exactly (a signed zero, or NaN for t1 infinite), kept
  // without dividing.
  void Evaluate(double t1, SpanValues& out) const {
    const int ii = Span(t1);
    out.ii = ii;
    const auto span = static_cast<std::size_t>(ii - kOrder) * kDivisorsPerSpan;
    const double* const den = &den_[span];
    const std::uint64_t* const keep = &keep_[span];
    const double* const t = t_.data();
    std::array<double, kOrder> prev{1};  // prev[r] is b(ii-m+2+r, m-1)
#pragma GCC unroll 4
    for (int m = 2; m <= kOrder; ++m) {
      const double* const d = den + Offset(m);  // d[s] divides pair s
      const std::uint64_t* const k = keep + Offset(m);
      std::array<Pair, kOrder> pair;  // pair[s]: row s's first term, row s-1's second
#pragma GCC unroll 4
      for (int s = 1; s < m; ++s) {
        const Pair diff = Pair{t1, t[ii + s]} - Pair{t[ii - m + 1 + s], t1};
        pair[s] = Keep(diff * prev[s - 1] / d[s], k[s]);
      }
      const double first = Keep((t1 - t[ii - m + 1]) * 0.0, k[0]);
      const double last = Keep((t[ii + m] - t1) * 0.0, k[m]);
#pragma GCC unroll 4
      for (int r = 0; r < m; ++r)
        prev[r] = (r == 0 ? first : pair[r][0]) + (r == m - 1 ? last : pair[r + 1][1]);
      if (m == kOrder - 1)
        for (int r = 0; r < m; ++r) out.quadratic[r] = prev[r];
    }
    out.cubic = prev;
  }

  // TSearch for every chord position xs[p] on the x-spline with control
  // values x (1..nv at [0..nv-1]) and derivative coefficients dxdt: Newton's
  // iteration on x(t) = xs from t = xs, the same steps and stops, with x and
  // dx/dt summed in BSPLEVD's order from a zero start. place(p, end) receives
  // each result, with the basis at the parameter found, not in order of p.
  //
  // Each search is a chain of steps that wait for one another, so kLanes
  // searches run side by side for the processor to overlap; a lane takes the
  // next position as soon as its search ends.
  template <class Place>
  void SearchAll(std::span<const double> x, std::span<const double> dxdt, std::span<const double> xs,
                 Place&& place) const {
    if (x.size() < static_cast<std::size_t>(nv_) || dxdt.size() < static_cast<std::size_t>(nv_))
      detail::index_error(nv_, 1, static_cast<long>(std::min(x.size(), dxdt.size())));
    struct Lane {
      std::size_t point = 0;
      int step = 1;
      bool final = false;  // the step limit is reached: only the basis at t1 is missing
      SearchEnd end;
    };
    constexpr std::size_t kLanes = 8;
    std::array<Lane, kLanes> lanes;
    std::size_t next = 0;
    const auto start = [&](Lane& lane) {
      lane.point = next++;
      lane.end.t1 = xs[lane.point];
      lane.step = 1;
      lane.final = false;
    };
    std::size_t busy = 0;  // lanes 0..busy-1 are searching
    while (busy < kLanes && next < xs.size()) start(lanes[busy++]);
    while (busy > 0) {
      for (std::size_t l = 0; l < busy; ++l) Evaluate(lanes[l].end.t1, lanes[l].end.basis);
      for (std::size_t l = 0; l < busy;) {
        Lane& lane = lanes[l];
        if (lane.final || Step(x.data(), dxdt.data(), xs[lane.point], lane)) {
          place(lane.point, static_cast<const SearchEnd&>(lane.end));
          if (next == xs.size()) {
            lane = lanes[--busy];  // the last busy lane moves here, its step still to take
            continue;
          }
          start(lane);
        }
        ++l;
      }
    }
  }

 private:
  // One step after the evaluation at lane.end.t1; true when the search stops
  // there. xc[i - 1] and dxc[i - 1] are the coefficients of function i.
  template <class Lane>
  static bool Step(const double* xc, const double* dxc, double xs, Lane& lane) {
    SearchEnd& end = lane.end;
    const int ii = end.basis.ii;
    double x = 0;
    for (int r = 0; r < kOrder; ++r) x = x + end.basis.cubic[r] * xc[ii - kOrder + r];
    double dxdt = 0;
    for (int r = 0; r < kOrder - 1; ++r) dxdt = dxdt + end.basis.quadratic[r] * dxc[ii - kOrder + 1 + r];
    end.x = x;
    end.dxdt = dxdt;
    if (std::fabs(x - xs) < kSearchTolerance || dxdt == 0) return true;
    end.t1 = end.t1 + (xs - x) / dxdt;
    lane.final = ++lane.step > kSearchSteps;
    return false;
  }

  // Divisors of span ii: for order m, float(tk(ii+s) - tk(ii-m+1+s)),
  // s = 0..m, at Offset(m); pair s of order m divides by entry s.
  static constexpr int Offset(int m) { return detail::DivisorOffset(m); }
  static constexpr int kDivisorsPerSpan = detail::DivisorOffset(kOrder + 1);

  // A term whose divisor is 0 is cleared by a mask rather than a branch,
  // which would go one way or the other from one span to the next.
  static double Keep(double v, std::uint64_t mask) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) & mask);
  }
  static Pair Keep(Pair v, std::uint64_t mask) {
    using Bits = std::uint64_t __attribute__((vector_size(16)));
    return std::bit_cast<Pair>(std::bit_cast<Bits>(v) & mask);
  }

  int nv_ = 0;
  std::vector<double> t_;             // t_[i] is tk(i), i = 1..nv+4
  std::vector<double> den_;           // kDivisorsPerSpan per span 4..nv; 1 in place of 0
  std::vector<std::uint64_t> keep_;   // all ones where the divisor is not 0, else 0
};

}  // namespace tarvelo
