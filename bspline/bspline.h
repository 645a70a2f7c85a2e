// The B-spline engine: clamped uniform knots, the Cox-de Boor basis table,
// the linear equation solver, derivative coefficients, spline evaluation with
// and the parameter search.
//
// The numerical procedures take their inputs and outputs by reference; the
// fitting run always passes the shared variables of the same names (ncp as nv).
#pragma once

#include <cstdint>

#include "bspline/array.h"
#include "bspline/flag.h"

namespace tarvelo {

// Clamped uniform knot vector tk(1..nv+ko) on [0, 1]: ko zeros, the interior
// knots (i-ko)/(nv-ko+1), ko ones. tk must already hold indices 1..nv+ko.
void KNOTS(int ko, int nv, Array1<double>& tk);

// All basis functions of orders 1..ko at t1 (Cox-de Boor, triangular form):
// b(i, m) is the order-m function starting at knot i. Column 0 is untouched.
void COXD(int ko, int nv, const Array1<double>& tk, double t1, Array2<double>& b);

// COXD that also returns the knot span ii of t1: in column m only rows
// ii-m+1..ii can be non-zero, all others are exactly 0.
int COXDSpan(int ko, int nv, const Array1<double>& tk, double t1, Array2<double>& b);

// Solves the augmented system h(1..n2, 1..n2+1) in place by Gaussian
// elimination with partial pivoting; the solution ends in column n2+1.
// lsing is set to kTrue when a pivot column is exactly zero.
void GAUSS(Array2<double>& h, int n2, Flag& lsing);

// Coefficients of the derivatives 1..jd of the spline whose control values
// are column 0 of c1; derivative d goes to column d.
void BSCOEFS(int ko, int nv, const Array1<double>& tk, int jd, Array2<double>& c1);

// Value and derivatives 1..jd at t1 of the spline given by c1, into f(0..jd).
// Leaves the basis table of t1 in b.
void BSPLEVD(int ko, int nv, const Array1<double>& tk, double t1, const Array2<double>& c1,
             int jd, Array1<double>& f, Array2<double>& b);

// The search's chord-position tolerance, a millionth of the chord, and its
// step limit: stored files were made with these; keep them.
inline constexpr double kSearchTolerance = 0.000001;
inline constexpr std::int16_t kSearchSteps = 6;

// Newton search for the parameter t1 at which the x-spline given by c1
// (coefficients of x and of dx/dt) reaches xs, starting from t1 = xs. Leaves
// x and dx/dt of the last evaluated iterate in f, its basis table in b.
void TSearch(int ko, int nv, const Array1<double>& tk, const Array2<double>& c1, double xs,
             double& t1, Array1<double>& f, Array2<double>& b);

}  // namespace tarvelo
