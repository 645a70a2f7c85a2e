// The fewest control points the window's run may take whose fit keeps both
// R.M.S. errors within a tolerance, searched one count at a time so that the
// window can show how far the search has come, and stop it.
#pragma once

#include <tarvelo/tarvelo.h>

#include <functional>
#include <optional>
#include <string>

namespace tarvelo {

// Told each count before it is fitted; false stops the search.
using CountProgress = std::function<bool(int count)>;

// The counts kFewestControlPoints to kWindowMostControlPoints, in turn, fitted
// with the placement given (the window's run fits the count chosen again, so
// the fits here make no deviations). The first count whose two R.M.S. errors
// are at most the tolerance is reached; when none is, the count whose worse
// error is smallest. Counts the section refuses are skipped; when it refuses
// every count, the Error of the first is thrown. Empty when stopped.
std::optional<CountChoice> SearchControlPoints(const Section& section, const std::string& placement,
                                               double tolerance, const CountProgress& progress);

}  // namespace tarvelo
