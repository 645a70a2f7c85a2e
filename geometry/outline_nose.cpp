// The nose of the outline as the curve through its points has it: its
// radius, and where its curvature changes sign near it. A fit is held to
// both: a fitted nose that bends otherwise is a shape the file does not have.
#include <cmath>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

double NoseRadius(const Placed& placed) {
  const double t = placed.chord.s_le;
  const std::size_t k = placed.curve.Segment(t);
  const Point d = placed.curve.Slope(t, k), b = placed.curve.Bend(t, k);
  const double speed = std::hypot(d.x, d.y);
  // The chord length is in the scaled units of the curve.
  return speed * speed * speed / std::fabs(d.x * b.y - d.y * b.x) / placed.chord.frame.chord;
}

NoseChanges NoseInflections(const Placed& placed) {
  const Curve& curve = placed.curve;
  const std::size_t n = placed.knots.size();
  const double sLe = placed.chord.s_le;
  const std::size_t at = curve.Segment(sLe);
  const auto chordX = [&](double t) { return placed.chord.frame.In(curve.At(t)).x; };
  NoseChanges changes;
  for (const bool first : {true, false}) {
    // Interval by interval away from the leading edge, while the nose lasts.
    std::vector<Stretch> path;
    std::vector<std::size_t> intervals;
    for (std::size_t k = at;; first ? --k : ++k) {
      const double lo = curve.Knot(k), h = curve.Knot(k + 1) - lo;
      const double from = k == at ? (sLe - lo) / h : first ? 1 : 0;
      const double to = first ? 0 : 1;
      if (from != to) {
        path.push_back(CurvatureSign(curve.Power(k, false), curve.Power(k, true), from, to));
        intervals.push_back(k);
      }
      const double end = first ? lo : lo + h;
      if (chordX(end) > kNoseChord || (first ? k == 0 : k + 2 == n)) break;
    }
    for (const SignChange& c : SignChanges(path)) {
      const std::size_t k = intervals[c.stretch];
      const double x = chordX(curve.Knot(k) + c.u * (curve.Knot(k + 1) - curve.Knot(k)));
      if (x <= kNoseChord) (first ? changes.first : changes.last).push_back(x);
    }
  }
  return changes;
}

}  // namespace tarvelo::outline
