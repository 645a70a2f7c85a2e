// Thickness and camber at the stations, and where the surfaces cross.
#include <algorithm>
#include <cmath>

#include "foilio/number_format.h"
#include "geometry/outline_phases.h"

namespace tarvelo::outline {

namespace {

// Ahead of this chord position the surfaces must not cross; behind it they
// may, as at a thin, skewed trailing edge, and are reported.
constexpr double kCrossingAllowed = 0.99;
constexpr double kCrossing = 1e-9;  // of the chord, below a thickness of 0

}  // namespace

std::string Percent(double fraction, int decimals) { return FSt(0, 0, decimals, 100 * fraction); }

void Crossing::Look(double x, double thickness) {
  if (!(thickness < -kCrossing)) return;
  at = std::min(at, x);
  if (thickness < thinnest) thinnest = thickness, thinnest_x = x;
}

Crossing CrossingOnPoints(const Placed& placed, const Surface& upper, const Surface& lower) {
  Crossing crossing;
  for (const Surface* surface : {&upper, &lower}) {
    const Surface& other = surface == &upper ? lower : upper;
    Walk walk;
    const double sign = surface == &upper ? 1 : -1;
    for (std::size_t k = 1; k < surface->x.size(); ++k) {
      const double x = surface->x[k];
      const double y = placed.At(surface->point(k)).y;
      crossing.Look(x, sign * (y - YAt(placed, other, x, walk)));
    }
  }
  return crossing;
}

Section SectionAt(const Placed& placed, const Surface& upper, const Surface& lower,
                  const std::vector<double>& stations, Crossing& crossing) {
  Section section;
  Walk upperWalk, lowerWalk;
  for (double x : stations) {
    const double yu = YAt(placed, upper, x, upperWalk);
    const double yl = YAt(placed, lower, x, lowerWalk);
    crossing.Look(x, yu - yl);
    section.x.push_back(x);
    section.thickness.push_back(yu - yl);
    section.camber.push_back((yu + yl) / 2);
  }
  return section;
}

std::string CrossingWarning(const Crossing& crossing) {
  if (crossing.at < kCrossingAllowed)
    throw Refusal("the surfaces cross at " + Percent(crossing.at, 2) + " % of the chord");
  if (crossing.at == HUGE_VAL) return "";
  return "The surfaces cross at " + Percent(crossing.at, 2) + " % of the chord: the thickness goes down to " +
         Percent(crossing.thinnest, 4) + " % of the chord at " + Percent(crossing.thinnest_x, 2) + " %";
}

void CheckFinite(const Section& section) {
  for (std::size_t i = 0; i < section.x.size(); ++i) {
    if (!std::isfinite(section.thickness[i]) || !std::isfinite(section.camber[i]))
      throw Refusal("the outline gives no finite thickness at " + Percent(section.x[i], 2) + " % of the chord");
  }
}

}  // namespace tarvelo::outline
