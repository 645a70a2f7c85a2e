// The surfaces: the outline split at its leading edge, each surface running
// on in the chord direction to its end, and y read off a surface at a chord
// position.
#include <algorithm>
#include <cmath>

#include "geometry/outline_phases.h"
#include "geometry/outline_root.h"

namespace tarvelo::outline {

namespace {

// A surface may step back this much of the chord, the rounding of a file's
// digits after the outline is turned; more is a surface turning back.
constexpr double kStepBack = 1e-6;

}  // namespace

Placed PlaceOn(const Curve& curve, const Knots& knots, const Chord& chord) {
  return {curve, knots, chord, chord.frame.In(curve.At(chord.s_le))};
}

Surface SplitSurface(const Placed& placed, bool backward) {
  const std::size_t n = placed.knots.size();
  const std::vector<double>& s = placed.knots.s;
  const double sLe = placed.chord.s_le;
  Surface surface;
  surface.backward = backward;
  surface.x.push_back(placed.le.x);
  double reach = placed.le.x;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = backward ? n - 1 - k : k;
    if (backward ? !(s[i] < sLe) : !(s[i] > sLe)) continue;
    if (surface.x.size() == 1) surface.first = i;
    const double x = placed.At(i).x;
    if (x < reach - kStepBack)
      throw Refusal("a surface turns back in the chord direction in " + placed.knots.Label(i));
    surface.x.push_back(x);
    reach = std::max(reach, x);
  }
  if (surface.x.size() < 2) throw Refusal("a surface has fewer than 5 points");
  const std::size_t end = surface.point(surface.x.size() - 1);
  surface.end = placed.At(end);
  const Point tangent = SlopeIn(placed.chord.frame, placed.curve, s[end]);
  // Only a surface still running toward the trailing edge has a slope to go on at.
  const bool onward = backward ? tangent.x < 0 : tangent.x > 0;
  const double slope = onward ? tangent.y / tangent.x : 0;
  surface.slope = std::isfinite(slope) ? slope : 0;
  return surface;
}

// The frame is never mirrored: the outline's turn tells upper from lower.
bool FirstIsUpper(const Knots& knots) {
  const std::size_t n = knots.size();
  double area = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = (i + 1) % n;
    area += knots.x[i] * knots.y[j] - knots.x[j] * knots.y[i];
  }
  return area >= 0;
}

std::string ContinueShorter(Surface& first, Surface& last, bool first_is_upper) {
  const bool first_shorter = first.end.x < last.end.x;
  Surface& shorter = first_shorter ? first : last;
  const Surface& longer = first_shorter ? last : first;
  const double missing = longer.end.x - shorter.end.x;
  shorter.slope = missing > 0 ? (longer.end.y - shorter.end.y) / missing : 0;
  const bool shorter_upper = first_shorter == first_is_upper;
  return std::string("The ") + (shorter_upper ? "upper" : "lower") + " surface ends " + Percent(missing, 4) +
         " % of the chord short of the " + (shorter_upper ? "lower" : "upper") +
         " one: continued by a straight line";
}

double YAt(const Placed& placed, const Surface& surface, double x, Walk& walk) {
  if (x <= surface.x[0]) return placed.le.y;
  std::size_t& k = walk.k;
  while (k < surface.x.size() && surface.x[k] < x) ++k;
  while (k > 1 && surface.x[k - 1] >= x) --k;
  if (k == surface.x.size()) return surface.end.y + (x - surface.end.x) * surface.slope;
  const std::vector<double>& s = placed.knots.s;
  const double a = k == 1 ? placed.chord.s_le : s[surface.point(k - 1)];
  const double b = s[surface.point(k)];
  const double lo = std::min(a, b), hi = std::max(a, b);
  // The two points are neighbours on the outline: one knot interval.
  const std::size_t segment = placed.curve.Segment((lo + hi) / 2);
  const Frame& frame = placed.chord.frame;
  const double t = Root([&](double v) { return frame.In(placed.curve.At(v, segment)).x - x; }, lo, hi);
  return frame.In(placed.curve.At(t, segment)).y;
}

}  // namespace tarvelo::outline
