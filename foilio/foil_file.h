// The output foil file (.FOI): the identification line, the count and the
// order, and one line of x, thickness and camber per control point.
#pragma once

#include <span>
#include <string>

namespace tarvelo {

// The bytes of a foil file, every line ending in CR LF; x of zero or less is
// written as 0.
std::string FoilFileText(const std::string& id, int ko, std::span<const double> x,
                         std::span<const double> yt, std::span<const double> yc);

// x as the foil file holds it: 0 for zero or less.
inline double WrittenX(double x) { return x <= 0 ? 0.0 : x; }

}  // namespace tarvelo
