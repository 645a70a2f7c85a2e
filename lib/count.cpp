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

// By the outline's deviation, each point of a large outline measured on
// every count would take most of the search. The counts are tried in turn,
// each one's deviation given up as soon as it is known to miss the
// tolerance; when none reaches it, the counts the data carry are measured
// whole in the order of what they were known to deviate at least, until none
// left can beat the best: the same count as measuring every one whole, the
// fewest on a tie. Only the chosen count's fit is kept, made again at the end.
CountChoice SearchByOutline(const Section& section, const ImportedSection& imported, const CountOptions& options) {
  struct Tried {
    int count;
    Judged judged;  // its error where the deviation was measured whole
    bool whole;
    double at_least;
  };
  std::vector<Tried> tried;
  std::optional<Error> firstRefusal;
  for (int count = kFewestControlPoints; count <= options.most_control_points; ++count) {
    const FitOptions fitOptions{count, options.placement};
    std::optional<Fit> fit;
    try {
      fit = FitWith(section, fitOptions, true);
    } catch (const Error& e) {
      if (!firstRefusal) firstRefusal = e;
      continue;
    }
    Judged j;
    j.stray = StrayRatio(*fit, options.tolerance);
    j.nose = CheckNose(*fit, imported);
    j.carried = j.stray <= 1 && j.nose->added.empty();
    const PartialDeviation d = OutlineDeviationAbove(*fit, imported, options.tolerance);
    j.error = std::max(d.deviation.deviation, d.deviation.between);
    if (j.carried && d.complete && j.error <= options.tolerance) return Chosen(count, true, std::move(*fit), j);
    tried.push_back({count, j, d.complete, j.error});
  }
  if (tried.empty()) throw *firstRefusal;
  const auto whole = [&](Tried& t) {
    if (t.whole) return;
    const OutlineDeviation d = OutlineDeviationOf(FitWith(section, FitOptions{t.count, options.placement}, true), imported);
    t.judged.error = std::max(d.deviation, d.between);
    t.whole = true;
  };
  std::optional<std::size_t> best;
  const bool anyCarried = std::any_of(tried.begin(), tried.end(), [](const Tried& t) { return t.judged.carried; });
  if (anyCarried) {
    // Among the counts the data carry, the smallest error.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < tried.size(); ++i)
      if (tried[i].judged.carried) order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return tried[a].at_least < tried[b].at_least || (tried[a].at_least == tried[b].at_least && a < b);
    });
    for (const std::size_t i : order) {
      Tried& t = tried[i];
      if (best && (t.at_least > tried[*best].judged.error ||
                   (t.at_least == tried[*best].judged.error && t.count > tried[*best].count)))
        break;
      whole(t);
      if (!best || t.judged.error < tried[*best].judged.error ||
          (t.judged.error == tried[*best].judged.error && t.count < tried[*best].count))
        best = i;
    }
  } else {
    // While the data carry none, the smallest stray, the fewest on a tie.
    for (std::size_t i = 0; i < tried.size(); ++i)
      if (!best || tried[i].judged.stray < tried[*best].judged.stray) best = i;
    whole(tried[*best]);
  }
  const Tried& chosen = tried[*best];
  return Chosen(chosen.count, false, FitWith(section, FitOptions{chosen.count, options.placement}, true),
                chosen.judged);
}

CountChoice Search(const Section& section, const ImportedSection* imported, const CountOptions& options) {
  CheckTolerance(options.tolerance);
  if (options.most_control_points < kFewestControlPoints || options.most_control_points > kMostControlPoints)
    throw Error(ErrorKind::Usage, "the most control points searched must be from 4 to " +
                                      std::to_string(kMostControlPoints) + ", not " +
                                      std::to_string(options.most_control_points));
  if (options.measure == ErrorMeasure::OutlineDeviation && imported == nullptr)
    throw Error(ErrorKind::Usage, "the outline deviation needs the outline the section was imported from");
  if (options.measure == ErrorMeasure::OutlineDeviation) return SearchByOutline(section, *imported, options);
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
