// The placements of the data points behind PlacementMethods(): one file
// each, all with the same signature, and a row each in lib/placement_table.cpp.
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

// A row of the table: the placement as the public header lists it, and how
// it places.
struct PlacementRow {
  PlacementMethod method;
  PlaceFunction place;
};

// The rows, the default first; PlacementMethods() lists their methods.
const std::vector<PlacementRow>& PlacementRows();

// The row of the placement called `name`; Error (Usage) naming the
// placements for another. The one lookup of the table.
const PlacementRow& FindPlacementRow(std::string_view name);

// The Error of a fit that stopped: Singular or Overflow.
Error FitStopError(FitStatus status);

// The fit of a section as FitSection makes it; without `deviations` the
// curves' largest deviations are left at 0, which spares a search by R.M.S.
// error the exact parameters of every count it tries.
Fit FitWith(const Section& section, const FitOptions& options, bool deviations);

}  // namespace tarvelo
