// The given points: checked, scaled, and the distinct ones strung on their
// cumulative chord length.
#include <algorithm>
#include <cmath>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

namespace {

// Points closer than this part of the outline's size are one point repeated.
constexpr double kRepeated = 1e-12;
// Points in order round an outline make a path at most about 2.3 times the
// outline's diagonal (a circle: pi / sqrt 2); points out of order, far more.
constexpr double kLongestPath = 3;

// The step into point i. Quartered, so that no difference of finite values
// overflows; a square that does is a step of no use to an outline anyway.
double QuarterStep(const std::vector<CoordinatePoint>& points, std::size_t i) {
  const double dx = points[i].x / 4 - points[i - 1].x / 4, dy = points[i].y / 4 - points[i - 1].y / 4;
  return std::sqrt(dx * dx + dy * dy);
}

// The whole outline's length judged by the median of its steps; negative
// where there are fewer than two steps to judge by.
double MedianLength(const std::vector<CoordinatePoint>& points) {
  std::vector<double> steps;
  for (std::size_t i = 1; i < points.size(); ++i)
    if (const double d = QuarterStep(points, i); d > 0) steps.push_back(d);
  if (steps.size() < 2) return -1;
  const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
  std::nth_element(steps.begin(), middle, steps.end());
  return *middle * static_cast<double>(steps.size());
}

}  // namespace

// A typing slip of a few digits puts a point there, and no outline has one.
std::size_t FarOffPoint(const std::vector<CoordinatePoint>& points) {
  const double length = MedianLength(points);
  if (length < 0) return points.size();
  // Runs of one repeated point are judged by the steps into and out of them.
  std::size_t run = 0;
  double before = -1;  // no step before the first run
  for (std::size_t i = 1; i <= points.size(); ++i) {
    const double d = i < points.size() ? QuarterStep(points, i) : -1;
    if (d == 0) continue;
    if ((before < 0 || before > length) && (d < 0 || d > length)) return run;
    before = d;
    run = i;
  }
  return points.size();
}

Scale CheckAndScale(const OutlineSource& source) {
  const std::vector<CoordinatePoint>& points = source.points;
  if (points.size() < 2 * kFewestSurfacePoints - 1) throw Refusal("a surface has fewer than 5 points");
  if (const std::size_t off = FarOffPoint(points); off < points.size())
    throw Refusal("the point in " + source.label_word + " " + std::to_string(source.labels[off]) +
                  " lies far off the outline");
  double largest = 0;
  for (const CoordinatePoint& p : points) largest = std::max({largest, std::fabs(p.x), std::fabs(p.y)});
  Scale scale;
  std::frexp(largest, &scale.exponent);
  Point low{HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL};
  for (const CoordinatePoint& p : points) {
    const Point q = scale.Of(p);
    low = {std::min(low.x, q.x), std::min(low.y, q.y)};
    high = {std::max(high.x, q.x), std::max(high.y, q.y)};
  }
  scale.size = std::hypot(high.x - low.x, high.y - low.y);
  return scale;
}

Knots DistinctPoints(OutlineSource& source, const Scale& scale) {
  const double repeated = kRepeated * scale.size;
  const std::size_t given = source.points.size();
  Knots knots;
  for (std::vector<double>* v : {&knots.s, &knots.x, &knots.y}) v->reserve(given);
  knots.sampled.resize(given);
  for (std::size_t i = 0; i < given; ++i) {
    const Point q = scale.Of(source.points[i]);
    double at = 0;
    if (i > 0) {
      const double dx = q.x - knots.x.back(), dy = q.y - knots.y.back();
      const double step = std::sqrt(dx * dx + dy * dy);
      at = knots.s.back() + step;
      if (!(step > repeated) || !(at > knots.s.back())) continue;
    }
    knots.s.push_back(at);
    knots.x.push_back(q.x);
    knots.y.push_back(q.y);
    knots.sampled[i] = true;
  }
  // A repeated point is taken for the point it repeats: the given points are
  // not needed any more.
  knots.labels.reserve(knots.size());
  for (std::size_t i = 0; i < given; ++i)
    if (knots.sampled[i]) knots.labels.push_back(source.labels[i]);
  knots.label_word = source.label_word;
  source.labels = {};
  source.points = {};
  if (knots.s.back() > kLongestPath * scale.size) throw Refusal("the points do not run in order round the outline");
  return knots;
}

}  // namespace tarvelo::outline
