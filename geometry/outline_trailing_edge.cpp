// The trailing edge. A surface that stops short of the other's end in the
// chord direction by more than the ends differ across is cut off and
// continued by a straight line to that end; otherwise the ends form a blunt
// trailing edge, the shorter surface continued at its last slope.
#include <cmath>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

namespace {

// Ends of the surfaces closer than this in the chord direction end together.
constexpr double kSameEnd = 1e-9;

}  // namespace

EndsApart ClassifyEnds(Point first, Point last) {
  const double along = first.x - last.x;
  return {along, std::fabs(along) > std::fabs(first.y - last.y) && std::fabs(along) > kSameEnd};
}

Point TrailingEdge(const Curve& curve, const Knots& knots, const Frame& first, const EndsApart& ends) {
  const std::size_t n = knots.size();
  const std::size_t longer = ends.along >= 0 ? 0 : n - 1;
  const std::size_t shorter = n - 1 - longer;
  if (ends.truncated) return knots.At(longer);
  if (ends.along == 0) return EndsMidpoint(knots);
  // The shorter end extended at its slope to the longer one's chord position.
  const Point e = first.In(knots.At(shorter));
  const Point tangent = SlopeIn(first, curve, knots.s[shorter]);
  const double reach = first.In(knots.At(longer)).x - e.x;
  // The first surface runs against the outline's order.
  const bool onward = shorter == 0 ? tangent.x < 0 : tangent.x > 0;
  const double slope = onward && std::isfinite(tangent.y / tangent.x) ? tangent.y / tangent.x : 0;
  const Point back = first.Out({e.x + reach, e.y + reach * slope});
  const Point g = knots.At(longer);
  return {(g.x + back.x) / 2, (g.y + back.y) / 2};
}

// The chord runs along x in the file's own units; the leading edge is the
// file's foremost point, where the file puts its leading edge and the curve
// has its nose to within 1e-5 of the chord (KeepsOwnNose): the curve's own
// foremost point may lie a rounding ahead of it, and the thickness grows
// with the square root of the distance from there.
Chord KeptChord(const Knots& knots, std::size_t foremost, const Scale& scale) {
  Chord chord;
  chord.kept = true;
  chord.s_le = knots.s[foremost];
  chord.frame.le = {0, 0};
  chord.frame.chord = std::ldexp(1.0, -scale.exponent);
  const std::size_t last = knots.size() - 1;
  chord.truncated = ClassifyEnds(chord.frame.In(knots.At(0)), chord.frame.In(knots.At(last))).truncated;
  return chord;
}

Chord NormalisedChord(const Curve& curve, const Knots& knots) {
  const Point ends = EndsMidpoint(knots);
  const Frame first = FrameOf(curve, LeadingEdge(curve, knots, ends), ends);
  const std::size_t last = knots.size() - 1;
  const EndsApart apart = ClassifyEnds(first.In(knots.At(0)), first.In(knots.At(last)));
  const Point te = TrailingEdge(curve, knots, first, apart);
  Chord chord;
  chord.s_le = LeadingEdge(curve, knots, te);
  chord.frame = FrameOf(curve, chord.s_le, te);
  chord.truncated = apart.truncated;
  return chord;
}

}  // namespace tarvelo::outline
