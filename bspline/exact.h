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
#include <vector>

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

// Where ParameterAt ended: the parameter and the basis there.
struct Parameter {
  double t = 0;
  ExactBasis basis;
};

// The parameter t in [0, 1] with x(t) = x for a spline x whose control values
// never decrease from x(0) <= x to x(1) >= x: Newton's method kept inside a
// bracket that always holds the root, bisecting where a step would leave it
// or the slope is flat, until t no longer moves or the bracket has closed to
// neighbouring doubles. `start` is the first guess. An x beyond x(0) or x(1)
// ends at that end. The search ends on a parameter it has just evaluated,
// whose basis it returns with it.
Parameter ParameterAt(std::span<const double> knots, std::span<const double> x_control, double x,
                      double start);

// The cubic basis of a clamped knot vector for the many evaluations of a
// placement: the Cox-de Boor recursion in its inverted-triangle form, which
// shares each level's divisions between neighbouring functions, with the six
// divisors of each knot span turned into reciprocals once. ExactBasisAt's
// values to within a few ulps. And a spline's derivative coefficients, so
// that its slope costs three products.
class ExactSpans {
 public:
  ExactSpans(std::span<const double> knots, int n);

  ExactBasis At(double t) const;

  // The parameter in [0, 1] where the spline of the control values x, whose
  // derivative coefficients are dx (Derivative), reaches xs: ParameterAt's
  // bracketed Newton iteration on this basis.
  Parameter ParameterAt(std::span<const double> x, std::span<const double> dx, double xs,
                        double start) const;

  // The coefficients of the derivative of the spline of `control`: entry j
  // (from 1) is 3 (c(j) - c(j-1)) / (t(j+3) - t(j)), entry 0 unused.
  std::vector<double> Derivative(std::span<const double> control) const;

 private:
  static constexpr int kReciprocals = 6;  // levels 1..3 with 1, 2, 3 divisors
  int Span(double t) const;

  int n_ = 0;
  std::span<const double> knots_;
  // Per span ii = 4..n, level j = 1..3, r = 0..j-1, at (j-1)j/2 + r:
  // 1 / (t(ii+r+1) - t(ii+r+1-j)), knots counted from 1.
  std::vector<double> inverse_;
};

}  // namespace tarvelo
