// A cubic B-spline on a clamped knot vector evaluated as exactly as doubles
// allow, for what is made of a stored spline: the Cox-de Boor recursion with
// double-precision divisors (COXD rounds them to single precision, as the
// fit's stored numbers require), and the parameter at which a spline x(t)
// that never decreases reaches a given value.
//
// Knots and control values are 0-based here: knots[0 .. n+3] for n control
// values control[0 .. n-1].
#pragma once

#include <array>
#include <span>

namespace tarvelo {

inline constexpr int kCubicOrder = 4;

// The cubic and quadratic basis functions at t that can be non-zero: the knot
// span ii (1-based, as COXD counts), cubic[r] belonging to control value
// ii-4+r and quadratic[r] to the derivative's coefficient ii-3+r (0-based).
struct ExactBasis {
  int ii = 0;
  std::array<double, kCubicOrder> cubic{};
  std::array<double, kCubicOrder - 1> quadratic{};
};

ExactBasis ExactBasisAt(std::span<const double> knots, int n, double t);

// The spline's value there: the sum of control[j] * B(j, t).
double SplineValue(std::span<const double> control, const ExactBasis& b);

// Its derivative: a quadratic spline with the coefficients
// 3 (c(j) - c(j-1)) / (t(j+3) - t(j)).
double SplineSlope(std::span<const double> control, std::span<const double> knots,
                   const ExactBasis& b);

// The parameter t in [0, 1] with x(t) = x for a spline x whose control values
// never decrease from x(0) <= x to x(1) >= x: Newton's method kept inside a
// bracket that always holds the root, bisecting where a step would leave it
// or the slope is flat, until t no longer moves or the bracket has closed to
// neighbouring doubles. `start` is the first guess.
double ParameterAt(std::span<const double> knots, std::span<const double> x_control, double x,
                   double start);

}  // namespace tarvelo
