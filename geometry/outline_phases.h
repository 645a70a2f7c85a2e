// The steps that cut an outline into thickness and camber, in the order
// DecomposeOutline takes them, each a function of its own so that each can be
// tried alone. Inside the geometry folder only.
//
// Every step is linear in the number of points, apart from a median: the
// surfaces are walked once in chord order, each lookup starting where the
// last one ended.
#pragma once

#include <tarvelo/tarvelo.h>

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/outline.h"
#include "geometry/outline_curve.h"

namespace tarvelo::outline {

inline constexpr std::size_t kFewestSurfacePoints = 5;

// An outline refused, with its cause; DecomposeOutline adds the file's name.
class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A part of the chord as a percentage with `decimals` decimals.
std::string Percent(double fraction, int decimals);

// ---- the given points (outline_points.cpp) ----

// The power of two that brings every coordinate below 1 without rounding, so
// that no difference can overflow, and the size of the outline so scaled.
struct Scale {
  int exponent = 0;
  double size = 0;  // the diagonal of the scaled points' bounding box
  Point Of(const CoordinatePoint& p) const {
    return {std::ldexp(p.x, -exponent), std::ldexp(p.y, -exponent)};
  }
};

// The first point that lies farther from both its neighbours than the whole
// outline is long, judged by the median step; the points' count if none.
std::size_t FarOffPoint(const std::vector<CoordinatePoint>& points);

// Refuses too few points and a point far off the outline; then scales it.
Scale CheckAndScale(const OutlineSource& source);

// The distinct points, scaled, and their cumulative chord lengths: the knots
// of the outline's curve.
struct Knots {
  std::vector<double> s, x, y;
  std::vector<bool> sampled;  // for each given point: it is the first of its repeats
  std::vector<int> labels;    // for each knot: its point's line or number
  std::string label_word = "line";
  std::size_t size() const { return s.size(); }
  Point At(std::size_t i) const { return {x[i], y[i]}; }
  std::string Label(std::size_t i) const { return label_word + " " + std::to_string(labels[i]); }
};

// Drops repeated points and refuses points out of order round the outline.
// `source` is consumed: its points are no longer needed.
Knots DistinctPoints(OutlineSource& source, const Scale& scale);

// ---- the leading edge (outline_leading_edge.cpp) ----

// Halfway between the first and the last point.
Point EndsMidpoint(const Knots& knots);
// The knot farthest from `te`.
std::size_t Farthest(const Knots& knots, Point te);
// Refuses a leading edge at knot `le` that leaves a surface too few points.
void CheckSurfacePoints(std::size_t le, std::size_t knots);
// Refuses an outline listed from its leading edge, or with a surface too short.
void CheckListing(const Knots& knots);
// The foremost knot, the leading edge of an outline in its own frame.
std::size_t ForemostKnot(const Knots& knots);
// The chord length of the point farthest from `te` on the curve.
double LeadingEdge(const Curve& curve, const Knots& knots, Point te);

// ---- the chord frame (outline_frame.cpp) ----

// The leading edge at (0, 0), the chord along x, its length 1.
struct Frame {
  Point le;
  Point u{1, 0};
  double chord = 1;
  Point In(Point q) const {
    const double dx = q.x - le.x;
    const double dy = q.y - le.y;
    return {(dx * u.x + dy * u.y) / chord, (u.x * dy - u.y * dx) / chord};
  }
  Point Out(Point c) const {
    return {le.x + chord * (c.x * u.x - c.y * u.y), le.y + chord * (c.x * u.y + c.y * u.x)};
  }
};

// The given points span x = 0..1 with the foremost at (0, 0), within 1e-4.
bool SpansOwnChord(const std::vector<CoordinatePoint>& points);
// Such an outline keeps its own frame when its curve, whose least x is
// `least_x` in the scaled units (Curve::LeastX), reaches no farther ahead of
// x = 0 than 1e-5 of the chord.
bool KeepsOwnNose(double least_x, const Scale& scale);
// The frame from the curve's point at `le` to `te`; refuses a chord of 0.
Frame FrameOf(const Curve& curve, double le, Point te);
// The slope of the outline at `t`, across the chord against along it.
Point SlopeIn(const Frame& frame, const Curve& curve, double t);

// ---- the trailing edge (outline_trailing_edge.cpp) ----

// How the ends of the surfaces, in a chord frame, lie to each other.
struct EndsApart {
  double along = 0;        // the first point's x less the last one's
  bool truncated = false;  // the shorter surface stops short of the other
};
EndsApart ClassifyEnds(Point first, Point last);

// The trailing edge by the first frame: the longer surface's end where the
// other is truncated, else the ends' midpoint with the shorter end carried
// along its slope to the longer one's chord position.
Point TrailingEdge(const Curve& curve, const Knots& knots, const Frame& first, const EndsApart& ends);

// Where the chord lies on the outline.
struct Chord {
  bool kept = false;  // the outline's own frame
  double s_le = 0;    // the leading edge's chord length on the curve
  Frame frame;
  bool truncated = false;
};
// In the outline's own frame, its foremost point the leading edge.
Chord KeptChord(const Knots& knots, std::size_t foremost, const Scale& scale);
// Normalised: from the leading edge found on the curve to the repaired
// trailing edge.
Chord NormalisedChord(const Curve& curve, const Knots& knots);

// ---- the surfaces (outline_surfaces.cpp) ----

// The outline placed on its chord: what the surfaces are read from.
struct Placed {
  const Curve& curve;
  const Knots& knots;
  const Chord& chord;
  Point le;  // the leading edge in the chord frame
  Point At(std::size_t i) const { return chord.frame.In(knots.At(i)); }
};
Placed PlaceOn(const Curve& curve, const Knots& knots, const Chord& chord);

// One surface from the leading edge to its end at the trailing edge.
struct Surface {
  std::vector<double> x;  // chord positions: the leading edge's, then its points'
  std::size_t first = 0;  // the knot of x[1]
  bool backward = false;  // its points run against the outline's order
  std::size_t point(std::size_t k) const { return backward ? first - (k - 1) : first + (k - 1); }
  // Beyond its end the surface goes on as a straight line.
  Point end;
  double slope = 0;
};

// The surface toward the first point (backward) or toward the last; refuses
// one that turns back in the chord direction.
Surface SplitSurface(const Placed& placed, bool backward);
// Round the outline counterclockwise, the first surface is the upper one.
bool FirstIsUpper(const Knots& knots);
// Continues the shorter surface of a truncated trailing edge by a straight
// line to the longer one's end; the warning that says so.
std::string ContinueShorter(Surface& first, Surface& last, bool first_is_upper);

// Where a lookup along a surface stands.
struct Walk {
  std::size_t k = 1;
};
// y of a surface at chord position x, going on from where the walk stands:
// the leading edge's ahead of it, its continuation beyond its end.
double YAt(const Placed& placed, const Surface& surface, double x, Walk& walk);

// ---- stations, thickness and camber (outline_stations.cpp, outline_thickness.cpp) ----

struct OwnPoints;
// The stations a count asks for, cosine-spaced, the upper surface's own, or
// every point's of both surfaces and every point's between them, with the
// cosine-spaced ones.
std::vector<double> Stations(const ImportOptions& options, const Surface& upper, const Surface& lower,
                             const OwnPoints& between);

// The foremost crossing of the surfaces, and the least thickness behind it.
struct Crossing {
  double at = HUGE_VAL;
  double thinnest = 0, thinnest_x = 0;
  void Look(double x, double thickness);
};
// Thickness looked at on every point of both surfaces: they may cross
// between the stations.
Crossing CrossingOnPoints(const Placed& placed, const Surface& upper, const Surface& lower);
// Thickness and camber at the stations, each looked at for crossing too.
Section SectionAt(const Placed& placed, const Surface& upper, const Surface& lower,
                  const std::vector<double>& stations, Crossing& crossing);
// Refuses surfaces that cross ahead of the trailing edge; the warning for
// those that cross there, or none.
std::string CrossingWarning(const Crossing& crossing);
// Refuses a thickness or camber that is not finite.
void CheckFinite(const Section& section);

// ---- the result (outline_result.cpp) ----

// How the outline was placed on the chord.
ImportTransform TransformOf(const Chord& chord, const Scale& scale);

// The given points in chord coordinates, from the leading edge on: those
// before it (in reverse) and those after it. A repeated point lies where the
// point it repeats does.
struct OwnPoints {
  std::vector<CoordinatePoint> ahead, behind;
};
OwnPoints GivenPoints(const Placed& placed, const Scale& scale);
// The curve halfway along it between each two neighbouring distinct points,
// the leading edge counting as the first, in the same order and coordinates.
OwnPoints BetweenPoints(const Placed& placed, const Scale& scale);

// ---- the nose (outline_nose.cpp) ----

// The curve's radius of curvature at the leading edge, per chord.
double NoseRadius(const Placed& placed);
// Where the curve's curvature changes sign within kNoseChord of the leading
// edge, each surface from the leading edge on, the first surface's first.
struct NoseChanges {
  std::vector<double> first, last;  // chord positions
};
NoseChanges NoseInflections(const Placed& placed);

}  // namespace tarvelo::outline
