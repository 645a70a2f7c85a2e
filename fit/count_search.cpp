#include "fit/count_search.h"

#include <tarvelo/window.h>

#include <algorithm>

namespace tarvelo {

std::optional<CountChoice> SearchControlPoints(const Section& section, const std::string& placement,
                                               double tolerance, const CountProgress& progress) {
  // As the library's search: a count is reached only where the data carry
  // its curves between the data points; the best so far is the carried one
  // of the smallest error, or while none is carried the one that strays least.
  std::optional<CountChoice> best;
  double bestStray = 0;
  std::optional<Error> firstRefusal;
  for (int count = kFewestControlPoints; count <= kWindowMostControlPoints; ++count) {
    if (progress && !progress(count)) return std::nullopt;
    Fit fit;
    try {
      fit = FitSection(section, FitOptions{count, placement, true});
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    const double error = std::max(fit.thickness.rms, fit.camber.rms);
    const double stray = StrayRatio(fit, tolerance);
    const bool carried = stray <= 1;
    if (carried && error <= tolerance) return CountChoice{count, true, std::move(fit), error, true, std::nullopt};
    const bool better = !best || (carried && !best->carried) ||
                        (carried == best->carried && (carried ? error < best->error : stray < bestStray));
    if (better) {
      best = CountChoice{count, false, std::move(fit), error, carried, std::nullopt};
      bestStray = stray;
    }
  }
  if (!best) throw *firstRefusal;
  return best;
}

}  // namespace tarvelo
