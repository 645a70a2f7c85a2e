// A section's outline cut into thickness and camber at chord stations.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>
#include <vector>

namespace tarvelo {

// The stations a count may ask for.
inline constexpr int kFewestStations = 5;
inline constexpr int kMostStations = 401;

// An outline to decompose, in Selig order, with what its messages call it.
struct OutlineSource {
  std::vector<CoordinatePoint> points;  // finite
  std::vector<int> labels;              // each point's line (or number), for messages
  std::string label_word = "line";      // what the labels count: "line" or "point"
};

// Interpolates the outline by a natural cubic spline of x and y in cumulative
// chord length (GSL), keeps its frame or normalises it, repairs its trailing
// edge and gives thickness and camber at the stations of `options`, whose
// count must lie in kFewestStations..kMostStations. The section's ID line is
// `name` as it is; the values are not yet rounded to a file's digits. Throws
// Error (BadData) with messages about `source_name`. `source` is consumed.
ImportedSection DecomposeOutline(OutlineSource& source, const std::string& name,
                                 const std::string& source_name, const ImportOptions& options);

}  // namespace tarvelo
