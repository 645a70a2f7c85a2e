// The chord positions the section is given at.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/outline_phases.h"

namespace tarvelo::outline {

namespace {

// At-file stations closer than this to the one before are the same station:
// the section data file, at 1e-8 of the chord, would print them alike.
constexpr double kSameStation = 2e-8;

}  // namespace

std::vector<double> Stations(const ImportOptions& options, const Surface& upper) {
  std::vector<double> stations;
  if (options.at_file_stations) {
    stations.push_back(0);
    for (std::size_t k = 1; k < upper.x.size(); ++k) {
      const double x = std::clamp(upper.x[k], 0.0, 1.0);
      if (x > stations.back() + kSameStation) stations.push_back(x);
    }
  } else {
    for (int i = 0; i < options.stations; ++i)
      stations.push_back((1 - std::cos(std::numbers::pi * i / (options.stations - 1))) / 2);
  }
  return stations;
}

}  // namespace tarvelo::outline
