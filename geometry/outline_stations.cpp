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
// Stations at every point are kept this far apart in the fit's parameter
// sqrt(x) too: a dense file (a million points) then gives some hundred
// thousand stations, still hundreds in every knot span of the most control
// points, instead of fitting every count through twice its points.
constexpr double kDenseStation = 1e-5;

}  // namespace

std::vector<double> Stations(const ImportOptions& options, const Surface& upper, const Surface& lower,
                             const OwnPoints& between) {
  std::vector<double> stations;
  if (options.at_every_point) {
    std::vector<double> all;
    for (int i = 0; i < options.stations; ++i)
      all.push_back((1 - std::cos(std::numbers::pi * i / (options.stations - 1))) / 2);
    for (const Surface* surface : {&upper, &lower})
      for (std::size_t k = 1; k < surface->x.size(); ++k) all.push_back(std::clamp(surface->x[k], 0.0, 1.0));
    for (const std::vector<CoordinatePoint>* side : {&between.ahead, &between.behind})
      for (const CoordinatePoint& p : *side) all.push_back(std::clamp(p.x, 0.0, 1.0));
    std::sort(all.begin(), all.end());
    for (double x : all)
      if (stations.empty() ||
          (x > stations.back() + kSameStation && std::sqrt(x) > std::sqrt(stations.back()) + kDenseStation))
        stations.push_back(x);
    // The trailing edge is a station of its own, not a point just ahead of it.
    if (stations.size() > 1 && stations.back() != 1) stations.back() = 1;
  } else if (options.at_file_stations) {
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
