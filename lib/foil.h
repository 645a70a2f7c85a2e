// What the library's functions on stored sections share: the checks of a
// FoilSpline and of an outline's size, its knots, and the texts made of them.
#pragma once

#include <tarvelo/tarvelo.h>

#include <optional>
#include <string>
#include <vector>

namespace tarvelo {

inline constexpr int kCubicControlPointsFewest = 4;
// The most control points a .FOI may hold: as many as a fit makes.
inline constexpr int kFoilFileMostPoints = kMostControlPoints;
// The most a FoilSpline built in memory may hold.
inline constexpr int kFoilSplineMostPoints = 64;

// "   The foil spline is not one of 4 to 64 cubic control points with x from 0 to 1 !! "
Error NotAFoilSpline();

// The clamped uniform knot vector of a foil spline of 4 to 64 cubic control
// points, 0-based; throws NotAFoilSpline for any other.
std::vector<double> KnotsOf(const FoilSpline& foil);

// Throws Error (Usage) unless the thickness is above 0 and at most 1 and the
// camber from -1 to 1.
void CheckOutlineSize(const OutlineSize& size);

// Throws Error (Usage) unless an asked trailing-edge thickness is from 0 to
// the largest thickness.
void CheckTrailingEdge(const OutlineSize& size, std::optional<double> te_thickness);

// The foil whose outline at `size` has a trailing edge te_thickness thick, as
// SectionOutline draws it: its thickness control points moved by a multiple
// of x's, the size checked. The foil itself when none is asked for.
FoilSpline WithTrailingEdge(const FoilSpline& foil, const OutlineSize& size, std::optional<double> te_thickness);

// The name of an exported outline: the .FOI's ID line, then " t/c=" and
// " f/c=" with the largest thickness and camber.
std::string OutlineName(const FoilSpline& foil, const OutlineSize& size);

// The shortest text that reads back as the same double.
std::string ShortestText(double v);

}  // namespace tarvelo
