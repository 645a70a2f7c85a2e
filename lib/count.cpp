// The count of control points chosen by a tolerance.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <optional>

namespace tarvelo {

CountChoice FewestControlPoints(const Section& section, double tolerance, ErrorMeasure measure) {
  const auto worse = [measure](const Fit& fit) {
    return measure == ErrorMeasure::Rms ? std::max(fit.thickness.rms, fit.camber.rms)
                                        : std::max(fit.thickness.max_deviation,
                                                   fit.camber.max_deviation);
  };
  std::optional<CountChoice> best;
  std::optional<Error> firstRefusal;
  for (int count = 4; count <= 20; ++count) {
    Fit fit;
    try {
      fit = FitSection(section, count);
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    const double error = worse(fit);
    if (error <= tolerance) return {count, true, std::move(fit)};
    if (!best || error < worse(best->fit)) best = CountChoice{count, false, std::move(fit)};
  }
  if (!best) throw *firstRefusal;
  return std::move(*best);
}

}  // namespace tarvelo
