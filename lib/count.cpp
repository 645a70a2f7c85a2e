// The count of control points chosen by a tolerance.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <optional>

#include "lib/placement.h"

namespace tarvelo {

CountChoice FewestControlPoints(const Section& section, const CountOptions& options) {
  if (options.most_control_points < kFewestControlPoints || options.most_control_points > kMostControlPoints)
    throw Error(ErrorKind::Usage, "   4 to 40 control points are allowed !! ");
  const bool byRms = options.measure == ErrorMeasure::Rms;
  const auto worse = [byRms](const Fit& fit) {
    return byRms ? std::max(fit.thickness.rms, fit.camber.rms)
                 : std::max(fit.thickness.max_deviation, fit.camber.max_deviation);
  };
  // The counts are compared by the one measure: the other is made only for
  // the count chosen.
  std::optional<int> best;
  double bestError = 0;
  std::optional<Error> firstRefusal;
  for (int count = kFewestControlPoints; count <= options.most_control_points; ++count) {
    const FitOptions fitOptions{count, options.placement};
    double error = 0;
    try {
      error = worse(FitWith(section, fitOptions, !byRms));
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    if (error <= options.tolerance) return {count, true, FitSection(section, fitOptions)};
    if (!best || error < bestError) {
      best = count;
      bestError = error;
    }
  }
  if (!best) throw *firstRefusal;
  return {*best, false, FitSection(section, FitOptions{*best, options.placement})};
}

CountChoice FewestControlPoints(const Section& section, double tolerance, ErrorMeasure measure) {
  return FewestControlPoints(section, CountOptions{tolerance, measure, Placement::Window, kWindowMostControlPoints});
}

}  // namespace tarvelo
