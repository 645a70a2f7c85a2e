// What a fitted outline does at its nose, against the outline the section
// was imported from: its radius, the curvature sign changes it adds, and how
// far it lies from the outline between the file's points there.
#include "lib/nose.h"

#include <algorithm>
#include <cmath>

#include "bspline/bezier.h"
#include "geometry/outline_curve.h"

namespace tarvelo {

namespace {

// A cubic's coefficients in u from its Bernstein ordinates b[0..3].
std::array<double, 4> Power(const double* b) {
  return {b[0], 3 * (b[1] - b[0]), 3 * (b[0] - 2 * b[1] + b[2]), b[3] - b[0] + 3 * (b[1] - b[2])};
}

double Cubic(const std::array<double, 4>& c, double u) { return c[0] + u * (c[1] + u * (c[2] + u * c[3])); }

}  // namespace

std::vector<CurvatureChange> FittedNoseInflections(const Fit& fit) {
  const OutlineSize size = OwnSize(fit);
  const std::vector<double> x = BezierOrdinates(fit.knots, fit.control_x);
  std::vector<CurvatureChange> changes;
  for (const bool upper : {true, false}) {
    std::vector<double> y;
    for (std::size_t j = 0; j < fit.control_x.size(); ++j)
      y.push_back(size.camber * fit.camber.control[j] +
                  (upper ? 0.5 : -0.5) * size.thickness * fit.thickness.control[j]);
    const std::vector<double> surface = BezierOrdinates(fit.knots, y);
    std::vector<outline::Stretch> path;
    for (std::size_t k = 0; 3 * k + 3 < x.size() && x[3 * k] <= kNoseChord; ++k)
      path.push_back(outline::CurvatureSign(Power(&x[3 * k]), Power(&surface[3 * k]), 0, 1));
    for (const outline::SignChange& c : outline::SignChanges(path)) {
      const double at = Cubic(Power(&x[3 * c.stretch]), c.u);
      if (at <= kNoseChord) changes.push_back({at, upper});
    }
  }
  return changes;
}

std::vector<CurvatureChange> AddedInflections(const std::vector<CurvatureChange>& fitted,
                                              const std::vector<CurvatureChange>& data) {
  // The closest pairs on one surface answer each other first.
  struct Pair {
    double apart;
    std::size_t f, d;
  };
  std::vector<Pair> pairs;
  for (std::size_t f = 0; f < fitted.size(); ++f)
    for (std::size_t d = 0; d < data.size(); ++d)
      if (fitted[f].upper == data[d].upper) pairs.push_back({std::fabs(fitted[f].x - data[d].x), f, d});
  std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.apart < b.apart; });
  std::vector<bool> fittedAnswered(fitted.size()), dataUsed(data.size());
  for (const Pair& p : pairs)
    if (!fittedAnswered[p.f] && !dataUsed[p.d]) fittedAnswered[p.f] = dataUsed[p.d] = true;
  std::vector<CurvatureChange> added;
  for (std::size_t f = 0; f < fitted.size(); ++f)
    if (!fittedAnswered[f]) added.push_back(fitted[f]);
  return added;
}

NoseCheck CheckNose(const Fit& fit, const ImportedSection& imported) {
  NoseCheck nose;
  try {
    nose.le_radius = SectionProperties(FoilSplineOf(fit), OwnSize(fit)).le_radius;
  } catch (const Error&) {
    nose.le_radius = 0;  // an outline thicker than its chord has none
  }
  nose.data_le_radius = imported.le_radius;
  nose.added = AddedInflections(FittedNoseInflections(fit), imported.nose_inflections);
  const NoseDeviation between = NoseBetween(fit, imported);
  nose.between = between.distance;
  nose.between_x = between.x;
  nose.between_upper = between.upper;
  return nose;
}

bool NoseRadiusKept(const NoseCheck& nose) {
  return nose.le_radius <= kNoseRadiusRatio * nose.data_le_radius &&
         nose.data_le_radius <= kNoseRadiusRatio * nose.le_radius;
}

}  // namespace tarvelo
