// The chord frame: the leading edge at (0, 0), the chord along x, its length 1.
#include <cmath>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

namespace {

// An outline spanning x = 0..1 with its leading-edge point at (0, 0), each
// within this, keeps its own frame.
constexpr double kOwnFrame = 1e-4;

}  // namespace

bool KeepsOwnFrame(const std::vector<CoordinatePoint>& points) {
  std::size_t lowest = 0, highest = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i].x < points[lowest].x) lowest = i;
    if (points[i].x > points[highest].x) highest = i;
  }
  return std::fabs(points[highest].x - 1) <= kOwnFrame &&
         std::hypot(points[lowest].x, points[lowest].y) <= kOwnFrame;
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
