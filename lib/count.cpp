// The count of control points chosen by a tolerance.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "lib/foil.h"
#include "lib/placement.h"

namespace tarvelo {

namespace {

// How one count's fit stands against the tolerance.
struct Judged {
  double error = 0;   // by the measure
  bool carried = true;
  double stray = 0;   // the worse curve's between deviation over what the data allow
  std::optional<NoseCheck> nose;
};

Judged Judge(const Fit& fit, const ImportedSection* imported, const CountOptions& options) {
  Judged j;
  j.stray = StrayRatio(fit, options.tolerance);
  j.carried = j.stray <= 1;
  switch (options.measure) {
    case ErrorMeasure::Rms: j.error = std::max(fit.thickness.rms, fit.camber.rms); break;
    case ErrorMeasure::MaxDeviation:
      j.error = std::max(fit.thickness.max_deviation, fit.camber.max_deviation);
      break;
    case ErrorMeasure::OutlineDeviation: {
      const OutlineDeviation d = OutlineDeviationOf(fit, *imported);
      j.error = std::max(d.deviation, d.between);
      break;
    }
  }
  if (imported != nullptr) {
    j.nose = CheckNose(fit, *imported);
    if (options.measure == ErrorMeasure::OutlineDeviation && !j.nose->added.empty()) j.carried = false;
  }
  return j;
}

CountChoice Chosen(int count, bool reached, Fit&& fit, const Judged& j) {
  return {count, reached, std::move(fit), j.error, j.carried, j.nose};
}

// Anything but a positive normal number is a slip: NaN or one below 0 no fit
// is within, an infinite one every fit is, and 0 or a subnormal one asks for
// more than a fit's precision.
void CheckTolerance(double tolerance) {
  if (std::isnormal(tolerance) && tolerance > 0) return;
  throw Error(ErrorKind::Usage, "the tolerance must be from " + ShortestText(std::numeric_limits<double>::min()) +
                                    " to " + ShortestText(std::numeric_limits<double>::max()) + " (per chord), not " +
                                    ShortestText(tolerance));
}

CountChoice Search(const Section& section, const ImportedSection* imported, const CountOptions& options) {
  CheckTolerance(options.tolerance);
  if (options.most_control_points < kFewestControlPoints || options.most_control_points > kMostControlPoints)
    throw Error(ErrorKind::Usage, "the most control points searched must be from 4 to " +
                                      std::to_string(kMostControlPoints) + ", not " +
                                      std::to_string(options.most_control_points));
  if (options.measure == ErrorMeasure::OutlineDeviation && imported == nullptr)
    throw Error(ErrorKind::Usage, "the outline deviation needs the outline the section was imported from");
  // The best so far: among the counts the data carry, the smallest error;
  // while they carry none, the smallest stray.
  std::optional<int> best;
  std::optional<Fit> bestFit;
  Judged bestJudged;
  std::optional<Error> firstRefusal;
  for (int count = kFewestControlPoints; count <= options.most_control_points; ++count) {
    std::optional<Fit> fit;
    try {
      fit = FitWith(section, FitOptions{count, options.placement}, true);
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    const Judged j = Judge(*fit, imported, options);
    if (j.carried && j.error <= options.tolerance) return Chosen(count, true, std::move(*fit), j);
    const bool better = !best || (j.carried && !bestJudged.carried) ||
                        (j.carried == bestJudged.carried &&
                         (j.carried ? j.error < bestJudged.error : j.stray < bestJudged.stray));
    if (better) {
      best = count;
      bestFit = std::move(fit);
      bestJudged = j;
    }
  }
  if (!best) throw *firstRefusal;
  return Chosen(*best, false, std::move(*bestFit), bestJudged);
}

}  // namespace

double StrayRatio(const Fit& fit, double tolerance) {
  double stray = 0;
  for (const CurveFit* curve : {&fit.thickness, &fit.camber})
    stray = std::max(stray, curve->between_deviation / std::max(tolerance, kStrayFactor * curve->max_deviation));
  return stray;
}

CountChoice FewestControlPoints(const Section& section, const CountOptions& options) {
  return Search(section, nullptr, options);
}

CountChoice FewestControlPoints(const ImportedSection& imported, const CountOptions& options) {
  return Search(imported.section, &imported, options);
}

CountChoice FewestControlPoints(const Section& section, double tolerance, ErrorMeasure measure) {
  return FewestControlPoints(section, CountOptions{tolerance, measure});
}

}  // namespace tarvelo
