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

// Anything but a positive normal number is a slip: NaN or one below 0 no fit
// is within, an infinite one every fit is, and 0 or a subnormal one asks for
// more than a fit's precision.
void CheckTolerance(double tolerance) {
  if (std::isnormal(tolerance) && tolerance > 0) return;
  throw Error(ErrorKind::Usage, "the tolerance must be from " + ShortestText(std::numeric_limits<double>::min()) +
                                    " to " + ShortestText(std::numeric_limits<double>::max()) + " (per chord), not " +
                                    ShortestText(tolerance));
}

// By the outline's deviation, each point of a large outline measured on
// every count would take most of the search. The counts are tried in turn
// as by the other measures, each given up as soon as it is known to miss
// the tolerance; when none reaches it, those tried are measured whole in
// the order of what they were known to deviate at least, until none left
// can beat the best: the same count as measuring every one whole, the
// fewest on a tie.
CountChoice SearchByOutline(const Section& section, const ImportedSection& imported, const CountOptions& options) {
  struct Tried {
    int count;
    double at_least;
  };
  std::vector<Tried> tried;
  std::optional<Error> firstRefusal;
  for (int count = kFewestControlPoints; count <= options.most_control_points; ++count) {
    const FitOptions fitOptions{count, options.placement};
    PartialDeviation d;
    try {
      d = OutlineDeviationAbove(FitWith(section, fitOptions, false), imported, options.tolerance);
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    if (d.complete && d.deviation.deviation <= options.tolerance)
      return {count, true, FitSection(section, fitOptions)};
    tried.push_back({count, d.deviation.deviation});
  }
  if (tried.empty()) throw *firstRefusal;
  std::sort(tried.begin(), tried.end(), [](const Tried& a, const Tried& b) {
    return a.at_least < b.at_least || (a.at_least == b.at_least && a.count < b.count);
  });
  std::optional<int> best;
  double bestError = 0;
  for (const Tried& t : tried) {
    if (best && (t.at_least > bestError || (t.at_least == bestError && t.count > *best))) break;
    const FitOptions fitOptions{t.count, options.placement};
    const double error = OutlineDeviationOf(FitWith(section, fitOptions, false), imported).deviation;
    if (!best || error < bestError || (error == bestError && t.count < *best)) {
      best = t.count;
      bestError = error;
    }
  }
  return {*best, false, FitSection(section, FitOptions{*best, options.placement})};
}

CountChoice Search(const Section& section, const ImportedSection* imported, const CountOptions& options) {
  CheckTolerance(options.tolerance);
  if (options.most_control_points < kFewestControlPoints || options.most_control_points > kMostControlPoints)
    throw Error(ErrorKind::Usage, "the most control points searched must be from 4 to 40, not " +
                                      std::to_string(options.most_control_points));
  if (options.measure == ErrorMeasure::OutlineDeviation && imported == nullptr)
    throw Error(ErrorKind::Usage, "the outline deviation needs the outline the section was imported from");
  if (options.measure == ErrorMeasure::OutlineDeviation) return SearchByOutline(section, *imported, options);
  const auto worse = [&](const Fit& fit) {
    switch (options.measure) {
      case ErrorMeasure::Rms: return std::max(fit.thickness.rms, fit.camber.rms);
      case ErrorMeasure::MaxDeviation: return std::max(fit.thickness.max_deviation, fit.camber.max_deviation);
      case ErrorMeasure::OutlineDeviation: return OutlineDeviationOf(fit, *imported).deviation;
    }
    return 0.0;
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
      error = worse(FitWith(section, fitOptions, options.measure == ErrorMeasure::MaxDeviation));
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

}  // namespace

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
