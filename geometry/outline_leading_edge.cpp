// The leading edge: the outline runs from its trailing edge, where it starts
// and ends, round its leading edge, the point farthest from there, which lies
// ahead of it.
#include "geometry/outline_phases.h"
#include "geometry/outline_root.h"

namespace tarvelo::outline {

Point EndsMidpoint(const Knots& knots) {
  const std::size_t last = knots.size() - 1;
  return {(knots.x.front() + knots.x[last]) / 2, (knots.y.front() + knots.y[last]) / 2};
}

// Squared distances: the coordinates are below 1.
std::size_t Farthest(const Knots& knots, Point te) {
  std::size_t far = 0;
  double most = -1;
  for (std::size_t i = 0; i < knots.size(); ++i) {
    const double dx = knots.x[i] - te.x, dy = knots.y[i] - te.y;
    if (const double d = dx * dx + dy * dy; d > most) far = i, most = d;
  }
  return far;
}

void CheckSurfacePoints(std::size_t le, std::size_t knots) {
  if (le + 1 < kFewestSurfacePoints || knots - le < kFewestSurfacePoints)
    throw Refusal("a surface has fewer than 5 points");
}

void CheckListing(const Knots& knots) {
  const Point ends = EndsMidpoint(knots);
  const std::size_t far = Farthest(knots, ends);
  CheckSurfacePoints(far, knots.size());
  if (knots.x[far] > ends.x)
    throw Refusal("the outline starts and ends at its leading edge: list it from the trailing edge");
}

std::size_t ForemostKnot(const Knots& knots) {
  std::size_t foremost = 0;
  for (std::size_t i = 1; i < knots.size(); ++i)
    if (knots.x[i] < knots.x[foremost]) foremost = i;
  CheckSurfacePoints(foremost, knots.size());
  return foremost;
}

// Where a distance from the trailing edge stops growing: a root of its
// derivative is found to the last bits, where a minimiser would place it only
// to the square root of the precision, turning the chord by as much.
double LeadingEdge(const Curve& curve, const Knots& knots, Point te) {
  const std::size_t far = Farthest(knots, te);
  CheckSurfacePoints(far, knots.size());
  const auto growth = [&curve, te](std::size_t k) {
    return [&curve, te, k](double t) {
      const Point p = curve.At(t, k), d = curve.Slope(t, k);
      return (p.x - te.x) * d.x + (p.y - te.y) * d.y;
    };
  };
  const std::vector<double>& s = knots.s;
  const double atFar = growth(far)(s[far]);
  return atFar == 0 ? s[far]
         : atFar > 0 ? Root(growth(far), s[far], s[far + 1])
                     : Root(growth(far - 1), s[far - 1], s[far]);
}

}  // namespace tarvelo::outline
