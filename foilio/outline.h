// A section's outline cut into thickness and camber at chord stations.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>

#include "foilio/coordinate_file.h"

namespace tarvelo {

// Interpolates the outline by a natural cubic spline of x and y in cumulative
// chord length (GSL), normalises it and gives thickness and camber at the
// stations of `options`. Throws Error with messages about the file `name`.
Section DecomposeOutline(const Outline& outline, const std::string& name,
                         const ImportOptions& options);

}  // namespace tarvelo
