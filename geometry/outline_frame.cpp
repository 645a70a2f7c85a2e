// The chord frame: the leading edge at (0, 0), the chord along x, its length 1.
#include <cmath>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

namespace {

// An outline spanning x = 0..1 with its leading-edge point at (0, 0), each
// within this, may keep its own frame.
constexpr double kOwnFrame = 1e-4;
// It keeps it when the curve through its points reaches no farther ahead of
// x = 0 than this: then the leading edge the frame puts at (0, 0) is the
// outline's own to within it. A curve reaching farther has its nose there,
// and pinning the fit's nose at (0, 0) would bend it.
constexpr double kOwnNose = 1e-5;

}  // namespace

bool SpansOwnChord(const std::vector<CoordinatePoint>& points) {
  std::size_t lowest = 0, highest = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i].x < points[lowest].x) lowest = i;
    if (points[i].x > points[highest].x) highest = i;
  }
  return std::fabs(points[highest].x - 1) <= kOwnFrame &&
         std::hypot(points[lowest].x, points[lowest].y) <= kOwnFrame;
}

bool KeepsOwnNose(double least_x, const Scale& scale) {
  return least_x >= -std::ldexp(kOwnNose, -scale.exponent);
}

Frame FrameOf(const Curve& curve, double le, Point te) {
  const Point p = curve.At(le);
  const double chord = std::hypot(te.x - p.x, te.y - p.y);
  if (!(chord > 0)) throw Refusal("the outline has no chord: its leading and trailing edges meet");
  return Frame{p, {(te.x - p.x) / chord, (te.y - p.y) / chord}, chord};
}

Point SlopeIn(const Frame& frame, const Curve& curve, double t) {
  const Point d = curve.Slope(t);
  return {d.x * frame.u.x + d.y * frame.u.y, frame.u.x * d.y - frame.u.y * d.x};
}

}  // namespace tarvelo::outline
