// What the decomposition gives beside the section: how the outline was
// placed, and its own points in chord coordinates.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

ImportTransform TransformOf(const Chord& chord, const Scale& scale) {
  ImportTransform transform;
  if (chord.kept) return transform;
  const Frame& frame = chord.frame;
  transform.frame = ImportFrame::Normalised;
  transform.scale = std::ldexp(1 / frame.chord, -scale.exponent);
  transform.angle_deg = std::atan2(frame.u.y, frame.u.x) * 180 / std::numbers::pi;
  transform.shift = {std::ldexp(frame.le.x, scale.exponent), std::ldexp(frame.le.y, scale.exponent)};
  // Past the largest number the scale is that of an outline smaller than
  // its reciprocal, and the shift that of a leading edge found a little
  // ahead of points at the largest numbers. The angle of a unit vector is
  // always finite.
  if (!std::isfinite(transform.scale)) throw Refusal("the outline is too small to scale onto the chord");
  if (!std::isfinite(transform.shift.x) || !std::isfinite(transform.shift.y))
    throw Refusal("the outline's leading edge lies beyond the largest number");
  return transform;
}

// Counted first, so that each list takes its memory once.
OwnPoints GivenPoints(const Placed& placed, const Scale& scale) {
  const Knots& knots = placed.knots;
  const double sLe = placed.chord.s_le;
  OwnPoints own;
  for (const bool counting : {true, false}) {
    std::size_t sample = 0, before = 0, after = 0;
    CoordinatePoint p;
    for (std::size_t i = 0; i < knots.sampled.size(); ++i) {
      if (knots.sampled[i]) {
        if (!counting) {
          const Point q = placed.chord.kept ? Point{std::ldexp(knots.x[sample], scale.exponent),
                                                    std::ldexp(knots.y[sample], scale.exponent)}
                                            : placed.At(sample);
          p = {q.x, q.y};
        }
        ++sample;
      }
      const double t = knots.s[sample - 1];
      if (t <= sLe) counting ? void(++before) : own.ahead.push_back(p);
      if (t >= sLe) counting ? void(++after) : own.behind.push_back(p);
    }
    if (counting) own.ahead.reserve(before), own.behind.reserve(after);
  }
  std::reverse(own.ahead.begin(), own.ahead.end());
  return own;
}

OwnPoints BetweenPoints(const Placed& placed, const Scale& scale) {
  const std::vector<double>& s = placed.knots.s;
  const double sLe = placed.chord.s_le;
  const auto chordPoint = [&](double t) {
    const Point q = placed.chord.kept ? Point{std::ldexp(placed.curve.At(t).x, scale.exponent),
                                              std::ldexp(placed.curve.At(t).y, scale.exponent)}
                                      : placed.chord.frame.In(placed.curve.At(t));
    return CoordinatePoint{q.x, q.y};
  };
  OwnPoints between;
  // Ahead: from the leading edge back to the first knot; behind: on to the last.
  const auto first = std::upper_bound(s.begin(), s.end(), sLe);
  between.ahead.reserve(static_cast<std::size_t>(first - s.begin()));
  double from = sLe;
  for (auto k = std::make_reverse_iterator(first); k != s.rend(); ++k) {
    if (*k == from) continue;
    between.ahead.push_back(chordPoint((from + *k) / 2));
    from = *k;
  }
  between.behind.reserve(static_cast<std::size_t>(s.end() - first));
  from = sLe;
  for (auto k = first; k != s.end(); ++k) {
    between.behind.push_back(chordPoint((from + *k) / 2));
    from = *k;
  }
  return between;
}

}  // namespace tarvelo::outline
