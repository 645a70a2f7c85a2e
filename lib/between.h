// How far a fitted curve strays from its data between the data points, where
// the fit's own errors say nothing: a curve of many control points can pass
// through every data point and swing far off between them.
#pragma once

#include <span>
#include <vector>

namespace tarvelo {

// The largest deviation found and the chord position where it is.
struct Stray {
  double deviation = 0;
  double x = 0;
};

// The nodes of the data curve through the interval j of the sorted,
// distinct positions t (in sqrt(x)): its ends j and j + 1, and beside them
// the nearest nodes at least half the interval's width away, two on one side
// where the other has none. Nodes closer than that would make the curve
// follow the rounding of their values: two values rounded to 1e-8 at
// stations 1e-7 apart give a slope off by 0.1.
std::vector<std::size_t> DataCurveNodes(std::span<const double> t, std::size_t j);

// The largest |fit - data curve| over the chord from the first data point to
// the last, for the fitted cubic B-spline of `control` on `knots` in the
// parameter t with x = t^2, and the data `values` at the chord positions
// `x`, in the units of `control`. The data curve through each interval is
// the cubic in sqrt(x) through its ends and the nearest data points beside
// them at least half its width away (fewer where there are none): what the data
// say of the curve between them, to the fourth order of the spacing. Its difference from the fit is a cubic on
// every piece where neither changes form, so its largest value is found at
// a piece's ends or where the cubic's slope vanishes, not sampled. Data at
// one chord position count as their mean; x need not be sorted.
Stray BetweenPoints(std::span<const double> knots, std::span<const double> control, std::span<const double> x,
                    std::span<const double> values);

}  // namespace tarvelo
