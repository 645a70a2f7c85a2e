// The placements of the data points behind PlacementMethods(): one file
// each, all with the same signature. A new placement is a value of
// Placement, a file with its function, declared here, and a row of the table
// in lib/fit.cpp.
#pragma once

#include <tarvelo/tarvelo.h>

#include <span>
#include <vector>

#include "bspline/array.h"
#include "bspline/fitting.h"

namespace tarvelo {

// What a placement gives the fit: the chordwise spline x(t) = t^2 (its
// control points), the cubic basis band at each data point's parameter, and
// whether that is where x(t) reaches the point's own chord position to full
// precision.
struct Placed {
  Array1<double> xcp;
  BandArray<double> bd;
  bool exact = false;
};

// Makes the x-spline of nv control points on the knots tk and places the
// data points x on it. Throws Error (Singular) when it cannot.
using PlaceFunction = Placed (*)(int nv, const Array1<double>& tk, std::span<const double> x);

Placed PlaceAsTheWindow(int nv, const Array1<double>& tk, std::span<const double> x);
Placed PlaceExactly(int nv, const Array1<double>& tk, std::span<const double> x);

// The Error of a fit that stopped: Singular or Overflow.
Error FitStopError(FitStatus status);

// The fit of a section as FitSection makes it; without `deviations` the
// curves' largest deviations are left at 0, which spares a search by R.M.S.
// error the exact parameters of every count it tries.
Fit FitWith(const Section& section, const FitOptions& options, bool deviations);

}  // namespace tarvelo
