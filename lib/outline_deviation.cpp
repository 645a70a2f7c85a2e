// How far a fitted outline lies from the points of the file it was imported
// from, measured as a designer would check it: the normal distance of each
// given point from its surface of the fitted outline at the section's own
// size.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>

#include "bspline/exact.h"
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

  // The least distance of p from the surface: sampled around p's own chord
  // position, then the best sample's neighbourhood narrowed down.
  double From(const CoordinatePoint& p) const {
    const double around = kSpansAround / (fit_.control_points - 3);
    const double lo = std::max(0.0, Below(p) - around);
    const double hi = std::min(1.0, Below(p) + around);
    const double step = (hi - lo) / kSamples;
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
    return std::sqrt(std::min({bestD, fc, fd}));
  }

 private:
  const Fit& fit_;
  ExactSpans spans_;
  OutlineSize size_;
  double side_;
  std::vector<double> dx_;
};

// The largest distance of some points from the fitted outline, and where.
struct Farthest {
  double distance = -1;
  double x = 0;
  bool upper = true;
  void Look(const FittedSurface& surface, const std::vector<CoordinatePoint>& points, bool on_upper,
            double up_to_x) {
    for (const CoordinatePoint& p : points) {
      if (p.x > up_to_x) continue;
      if (const double d = surface.From(p); d > distance) *this = {d, p.x, on_upper};
    }
  }
};

}  // namespace

OutlineDeviation OutlineDeviationOf(const Fit& fit, const ImportedSection& imported) {
  const OutlineSize size = OwnSize(fit);
  Farthest at, between;
  for (const bool upper : {true, false}) {
    const FittedSurface surface(fit, size, upper ? 1.0 : -1.0);
    at.Look(surface, upper ? imported.upper : imported.lower, upper, HUGE_VAL);
    between.Look(surface, upper ? imported.upper_between : imported.lower_between, upper, HUGE_VAL);
  }
  return {std::max(at.distance, 0.0),      at.x,      at.upper,
          std::max(between.distance, 0.0), between.x, between.upper};
}

NoseDeviation NoseBetween(const Fit& fit, const ImportedSection& imported) {
  const OutlineSize size = OwnSize(fit);
  Farthest between;
  for (const bool upper : {true, false})
    between.Look(FittedSurface(fit, size, upper ? 1.0 : -1.0), upper ? imported.upper_between : imported.lower_between,
                 upper, kNoseChord);
  return {std::max(between.distance, 0.0), between.x, between.upper};
}

}  // namespace tarvelo
