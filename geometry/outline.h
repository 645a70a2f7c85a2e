// A section's outline cut into thickness and camber at chord stations.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>

#include "foilio/coordinate_file.h"

namespace tarvelo {

// The stations a count may ask for.
inline constexpr int kFewestStations = 5;
inline constexpr int kMostStations = 401;

// Interpolates the outline by a natural cubic spline of x and y in cumulative
// chord length (GSL), normalises it and gives thickness and camber at the
// stations of `options`, whose count must lie in kFewestStations..kMostStations.
// Throws Error with messages about the file `name`.
Section DecomposeOutline(const Outline& outline, const std::string& name,
                         const ImportOptions& options);

}  // namespace tarvelo
