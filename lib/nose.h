// The nose of a fitted outline, measured as the outline it was imported from
// has it.
#pragma once

#include <tarvelo/tarvelo.h>

#include <vector>

namespace tarvelo {

// The largest distance of the interpolated outline from the fitted one
// halfway between the given points within kNoseChord of the leading edge.
struct NoseDeviation {
  double distance = 0;
  double x = 0;
  bool upper = true;
};
NoseDeviation NoseBetween(const Fit& fit, const ImportedSection& imported);

// Where the fitted outline at the section's own size changes the sign of its
// curvature within kNoseChord of its leading edge, each surface from the
// leading edge on.
std::vector<CurvatureChange> FittedNoseInflections(const Fit& fit);

// Of the fitted changes, those the data's do not answer: on each surface,
// each fitted change is answered by the nearest unanswered data change.
std::vector<CurvatureChange> AddedInflections(const std::vector<CurvatureChange>& fitted,
                                              const std::vector<CurvatureChange>& data);

}  // namespace tarvelo
