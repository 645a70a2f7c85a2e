// How far a fitted outline lies from the points of the file it was imported
// from, measured as a designer would check it: the normal distance of each
// given point from its surface of the fitted outline at the section's own
// size.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "bspline/exact.h"
#include "lib/foil.h"
#include "lib/nose.h"

namespace tarvelo {

namespace {

// Samples of the squared distance around a point's own chord position, and
// how finely the nearest of them is refined (golden section, in t).
constexpr int kSamples = 48;
constexpr double kSpansAround = 3;
constexpr int kRefinements = 80;

class FittedSurface {
 public:
  FittedSurface(const Fit& fit, const OutlineSize& size, double side)
      : fit_(fit), spans_(fit.knots, fit.control_points), size_(size), side_(side),
        dx_(spans_.Derivative(fit.control_x)) {}

  // The squared distance of the surface's point at t from p.
  double Distance2(double t, const CoordinatePoint& p) const {
    const ExactBasis b = spans_.At(t);
    const double x = SplineValue(fit_.control_x, b);
    const double y = size_.camber * SplineValue(fit_.camber.control, b) +
                     side_ * size_.thickness * SplineValue(fit_.thickness.control, b) / 2;
    return (x - p.x) * (x - p.x) + (y - p.y) * (y - p.y);
  }

  // The parameter where x(t) is p's chord position, clamped to [0, 1].
  double Below(const CoordinatePoint& p) const {
    const double x = std::clamp(p.x, 0.0, 1.0);
    return spans_.ParameterAt(fit_.control_x, dx_, x, std::sqrt(x)).t;
  }

  // Where p is sought: kSamples steps from lo to hi around `below`, the
  // parameter of p's own chord position.
  struct Window {
    double lo, hi, step;
  };
  Window Around(double below) const {
    const double around = kSpansAround / (fit_.control_points - 3);
    const double lo = std::max(0.0, below - around);
    const double hi = std::min(1.0, below + around);
    return {lo, hi, (hi - lo) / kSamples};
  }

  // A bound that From never exceeds: the distance straight across at p's
  // own chord position, which From takes the least of with the others.
  double AtMost(const CoordinatePoint& p, double below) const { return std::sqrt(Distance2(below, p)); }

  // The least distance of p from the surface: sampled around p's own chord
  // position, then the best sample's neighbourhood narrowed down; never
  // more than straight across from it.
  double From(const CoordinatePoint& p) const { return From(p, Below(p)); }
  double From(const CoordinatePoint& p, double below) const {
    const auto [lo, hi, step] = Around(below);
    int best = 0;
    double bestD = Distance2(lo, p);
    for (int k = 1; k <= kSamples; ++k) {
      const double d = Distance2(lo + k * step, p);
      if (d < bestD) best = k, bestD = d;
    }
    double a = std::max(lo, lo + (best - 1) * step);
    double b = std::min(hi, lo + (best + 1) * step);
    const double g = (std::sqrt(5.0) - 1) / 2;
    double c = b - g * (b - a), d = a + g * (b - a);
    double fc = Distance2(c, p), fd = Distance2(d, p);
    for (int i = 0; i < kRefinements && b - a > 1e-15; ++i) {
      if (fc < fd) {
        b = d, d = c, fd = fc;
        c = b - g * (b - a), fc = Distance2(c, p);
      } else {
        a = c, c = d, fc = fd;
        d = a + g * (b - a), fd = Distance2(d, p);
      }
    }
    return std::min(std::sqrt(std::min({bestD, fc, fd})), AtMost(p, below));
  }

 private:
  const Fit& fit_;
  ExactSpans spans_;
  OutlineSize size_;
  double side_;
  std::vector<double> dx_;
};

// One point in this many of each surface is measured first: the largest of
// their deviations is a floor that most points' bounds fall below.
constexpr std::size_t kFloorStride = 64;

// The largest distance from the fitted outline of the points of both
// surfaces at chord positions up to `up_to_x`, the first of it kept; given
// up (complete false) as soon as it is known to be above `above`.
struct Farthest {
  double distance = -1;
  double x = 0;
  bool upper = true;
  bool complete = true;
};

Farthest FarthestOf(const FittedSurface& upper, const FittedSurface& lower,
                    const std::vector<CoordinatePoint>& upper_points,
                    const std::vector<CoordinatePoint>& lower_points, double above, double up_to_x) {
  const auto points = [&](bool on_upper) -> const std::vector<CoordinatePoint>& {
    return on_upper ? upper_points : lower_points;
  };
  double floor = -1;
  for (const bool on_upper : {true, false})
    for (std::size_t i = 0; i < points(on_upper).size(); i += kFloorStride)
      if (points(on_upper)[i].x <= up_to_x)
        floor = std::max(floor, (on_upper ? upper : lower).From(points(on_upper)[i]));
  if (floor > above) return {floor, 0, true, false};
  // The points in their order: a point whose bound is below the floor, or no
  // more than the largest so far, cannot be the first of the largest.
  Farthest out;
  for (const bool on_upper : {true, false}) {
    const FittedSurface& surface = on_upper ? upper : lower;
    for (const CoordinatePoint& p : points(on_upper)) {
      if (p.x > up_to_x) continue;
      const double below = surface.Below(p);
      const double bound = surface.AtMost(p, below);
      if (bound < floor || bound <= out.distance) continue;
      if (const double d = surface.From(p, below); d > out.distance) {
        out = {d, p.x, on_upper, true};
        if (d > above) {
          out.complete = false;
          return out;
        }
      }
    }
  }
  return out;
}

}  // namespace

PartialDeviation OutlineDeviationAbove(const Fit& fit, const ImportedSection& imported, double above) {
  const OutlineSize size = OwnSize(fit);
  const FittedSurface upper(fit, size, 1.0), lower(fit, size, -1.0);
  const Farthest at = FarthestOf(upper, lower, imported.upper, imported.lower, above, HUGE_VAL);
  if (!at.complete) return {{at.distance, at.x, at.upper}, false};
  const Farthest between =
      FarthestOf(upper, lower, imported.upper_between, imported.lower_between, above, HUGE_VAL);
  return {{std::max(at.distance, 0.0), at.x, at.upper, std::max(between.distance, 0.0), between.x, between.upper},
          between.complete};
}

OutlineDeviation OutlineDeviationOf(const Fit& fit, const ImportedSection& imported) {
  return OutlineDeviationAbove(fit, imported, std::numeric_limits<double>::infinity()).deviation;
}

NoseDeviation NoseBetween(const Fit& fit, const ImportedSection& imported) {
  const OutlineSize size = OwnSize(fit);
  const FittedSurface upper(fit, size, 1.0), lower(fit, size, -1.0);
  const Farthest between = FarthestOf(upper, lower, imported.upper_between, imported.lower_between,
                                      std::numeric_limits<double>::infinity(), kNoseChord);
  return {std::max(between.distance, 0.0), between.x, between.upper};
}

}  // namespace tarvelo
