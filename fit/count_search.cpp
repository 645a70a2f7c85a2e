#include "fit/count_search.h"

#include <tarvelo/window.h>

#include <algorithm>

namespace tarvelo {

std::optional<CountChoice> SearchControlPoints(const Section& section, const std::string& placement,
                                               double tolerance, const CountProgress& progress) {
  std::optional<CountChoice> best;
  double bestError = 0;
  std::optional<Error> firstRefusal;
  for (int count = kFewestControlPoints; count <= kWindowMostControlPoints; ++count) {
    if (progress && !progress(count)) return std::nullopt;
    Fit fit;
    try {
      fit = FitSection(section, FitOptions{count, placement, false});
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    const double error = std::max(fit.thickness.rms, fit.camber.rms);
    if (error <= tolerance) return CountChoice{count, true, std::move(fit)};
    if (!best || error < bestError) {
      best = CountChoice{count, false, std::move(fit)};
      bestError = error;
    }
  }
  if (!best) throw *firstRefusal;
  return best;
}

}  // namespace tarvelo
