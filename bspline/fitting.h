// The least-squares fit of a section, step by step, on arrays the caller
// owns: the window's run passes its shared variables, the library its own
// arrays, and both get the same numbers to the last bit.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "bspline/array.h"
#include "bspline/flag.h"

namespace tarvelo {

// Control points of the chordwise spline x(t) = t^2 on the knots tk: the
// first two are 0 and the last 1; the others interpolate t^2 at the interior
// knots and one third of a knot span before the end. b (1..nv, 0..ko) and
// h (1..nv-3, 1..nv-2) are work tables. Returns false, with lsing set, when
// the system is singular; xcp (1..nv) is then not touched.
bool SolveXSpline(int ko, int nv, const Array1<double>& tk, Array2<double>& b,
                  Array2<double>& h, Flag& lsing, Array1<double>& xcp);

// For each data point, the parameter at which x(t) reaches its chord
// position (TSearch) and the cubic basis there, kept as the band of ko
// functions that can be non-zero: bd (1..nd, 1..nv). c1 holds the
// coefficients of x and of dx/dt; f and b are work tables.
void PlacePoints(int ko, int nv, const Array1<double>& tk, const Array2<double>& c1,
                 std::span<const double> xin, Array1<double>& f, Array2<double>& b,
                 BandArray<double>& bd);

// The control points of x(t) = t^2 on the knots tk as the B-spline form
// represents the parabola exactly: the polar form of t^2 at the three inner
// knots of each function, (a b + a c + b c) / 3, in double precision. What
// SolveXSpline computes with the window's single-precision divisors.
void ExactXSpline(int nv, const Array1<double>& tk, Array1<double>& xcp);

// Each data point at the parameter where x(t), the spline of the control
// values xcp on the knots tk, reaches its chord position to full double
// precision (ParameterAt), and the cubic basis there with double-precision
// divisors: the band bd as PlacePoints makes it, and the parameters in t.
// The search starts from starts[i] where given, else from sqrt(x), where
// x(t) = t^2 has its root.
void PlacePointsExactly(const Array1<double>& tk, const Array1<double>& xcp, std::span<const double> xin,
                        std::span<const double> starts, BandArray<double>& bd, std::vector<double>& t);

// The ordinates of one curve at the data points as the fit uses them: divided
// by `divisor` where it is above 0 (the library normalises as it reads; the
// window's run has normalised its data in place and passes 0).
struct CurveData {
  std::span<const double> values;
  double divisor = 0;
  double operator[](std::size_t i) const { return divisor > 0 ? values[i] / divisor : values[i]; }
};

// How a curve's fit ended.
enum class FitStatus {
  Done,
  Singular,  // the normal equations have an exactly zero pivot column
  Overflow,  // a value left the single-precision range, or a control point is not finite
};

// Right-hand sides of a curve's fit, yr(i) = data(i) - data(nd) * bd(i, nv),
// rounded to single precision: the last control point is fixed to the last
// data value, so its share moves to the right-hand side.
FitStatus RightHandSide(const CurveData& data, const BandArray<double>& bd, std::span<float> yr);

// What a curve's fit fills; the spans are the caller's storage.
struct CurveOutput {
  std::span<double> ycp;   // control ordinates 1..nv
  std::span<double> xd;    // x of the fitted curve at each data point; may be empty
  std::span<double> yfit;  // fitted value at each data point
  std::span<float> dy;     // yfit - data, single precision
  double sq = 0;           // sum of the squared differences
  double rms = 0;          // R.M.S. error per chord
  double max_deviation = 0;  // largest |dy| per chord
  std::size_t max_at = 0;    // first data point (from 0) where it occurs
};

// Least squares for one curve with both end control points fixed (the first
// at 0, the last at the last data value), then the fit at the data points,
// its R.M.S. error and largest deviation per chord. ymax scales the errors
// back to the chord (by 1 when it is not above 0). h is allocated anew.
FitStatus FitCurve(int nv, const BandArray<double>& bd, std::span<const float> yr,
                   const CurveData& data, double ymax, const Array1<double>& xcp,
                   Array2<double>& h, Flag& lsing, CurveOutput& out);

}  // namespace tarvelo
