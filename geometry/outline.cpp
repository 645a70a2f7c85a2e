// The outline of a section cut into thickness and camber.
//
// The outline is a natural cubic spline of x and y in chord length; GSL's
// gsl_root_fsolver_brent finds the leading edge and the stations on it,
// called only with what it takes without complaint (outline_root.h), since
// its error handler belongs to the program using the library. The steps,
// one function each, are in outline_phases.h.
#include "geometry/outline.h"

#include <utility>

#include "foilio/items.h"
#include "geometry/outline_phases.h"

namespace tarvelo {

namespace {

using namespace outline;

// The section and what comes with it, from the outline on its chord.
ImportedSection Cut(const Placed& placed, const Scale& scale, const ImportOptions& options) {
  ImportedSection result;
  Surface first = SplitSurface(placed, true);
  Surface last = SplitSurface(placed, false);
  const bool firstUpper = FirstIsUpper(placed.knots);
  if (placed.chord.truncated) result.warnings.push_back(ContinueShorter(first, last, firstUpper));
  const Surface& upper = firstUpper ? first : last;
  const Surface& lower = firstUpper ? last : first;

  OwnPoints between = BetweenPoints(placed, scale);
  const std::vector<double> stations = Stations(options, upper, lower, between);
  Crossing crossing = CrossingOnPoints(placed, upper, lower);
  result.section = SectionAt(placed, upper, lower, stations, crossing);
  if (std::string warning = CrossingWarning(crossing); !warning.empty())
    result.warnings.push_back(std::move(warning));
  CheckFinite(result.section);

  result.transform = TransformOf(placed.chord, scale);
  OwnPoints own = GivenPoints(placed, scale);
  result.upper = firstUpper ? std::move(own.ahead) : std::move(own.behind);
  result.lower = firstUpper ? std::move(own.behind) : std::move(own.ahead);
  result.upper_between = firstUpper ? std::move(between.ahead) : std::move(between.behind);
  result.lower_between = firstUpper ? std::move(between.behind) : std::move(between.ahead);

  result.le_radius = NoseRadius(placed);
  const NoseChanges changes = NoseInflections(placed);
  for (const bool onFirst : {true, false})
    for (double x : onFirst ? changes.first : changes.last)
      result.nose_inflections.push_back({x, onFirst == firstUpper});
  return result;
}

ImportedSection Decompose(OutlineSource& source, const ImportOptions& options) {
  const Scale scale = CheckAndScale(source);
  const bool spans = SpansOwnChord(source.points);
  const Knots knots = DistinctPoints(source, scale);
  CheckListing(knots);
  const Curve curve(knots.s, knots.x, knots.y);
  // The frame is judged on the curve the section is read from: file points
  // at x >= 0 do not keep it from reaching ahead of x = 0 between them.
  const bool kept = spans && KeepsOwnNose(curve.LeastX(), scale);
  const std::size_t foremost = kept ? ForemostKnot(knots) : 0;
  const Chord chord = kept ? KeptChord(knots, foremost, scale) : NormalisedChord(curve, knots);
  return Cut(PlaceOn(curve, knots, chord), scale, options);
}

}  // namespace

ImportedSection DecomposeOutline(OutlineSource& source, const std::string& name,
                                 const std::string& source_name, const ImportOptions& options) {
  try {
    ImportedSection result = Decompose(source, options);
    result.section.id_line = name;
    return result;
  } catch (const Refusal& refusal) {
    throw detail::DataError(source_name, refusal.what());
  }
}

}  // namespace tarvelo
