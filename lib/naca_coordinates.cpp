// A NACA section's outline as published: the thickness laid off across the
// mean line, and the Selig coordinate file of it.
#include <cmath>

#include "foilio/number_format.h"
#include "geometry/outline.h"
#include "lib/foil.h"
#include "lib/naca.h"

namespace tarvelo {

SectionCoordinates NacaCoordinates(std::string_view designation, const NacaOptions& options) {
  if (!options.table_stations && (options.stations < kFewestStations || options.stations > kMostStations))
    throw Error(ErrorKind::Usage, "5 to 401 stations are allowed");
  const NacaFamily family = RecognisedNaca(designation, options);
  const std::vector<double> stations = options.table_stations ? family.table_stations : CosineStations(options.stations);
  SectionCoordinates c;
  c.name = family.name + ", " + std::to_string(stations.size()) +
           (options.table_stations ? " stations" : " cosine-spaced stations") + ", thickness across the mean line";
  for (double x : stations) {
    const double half = family.half_thickness(x), camber = family.camber(x);
    // The slope may be infinite at an edge (the a-series mean lines): the
    // angle is then a right angle, and sin and cos stay finite.
    const double theta = std::atan(family.slope(x));
    const double along = half * std::sin(theta), up = half * std::cos(theta);
    c.upper_x.push_back(x - along);
    c.upper_y.push_back(camber + up);
    c.lower_x.push_back(x + along);
    c.lower_y.push_back(camber - up);
  }
  return c;
}

std::string SeligText(const SectionCoordinates& c) {
  CheckIdLine(c.name);  // the name line must stay one line
  const std::size_t n = c.upper_x.size();
  if (n < 2 || c.upper_y.size() != n || c.lower_x.size() != n || c.lower_y.size() != n)
    throw Error(ErrorKind::Usage, "the coordinates need 2 or more points on each surface, as many x as y");
  std::string out = c.name + '\n';
  const auto point = [&out](double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) throw BeyondDoubles("a coordinate");
    out += FSt(2, 0, 7, x) + FSt(2, 0, 7, y) + '\n';
  };
  for (std::size_t i = n; i-- > 0;) point(c.upper_x[i], c.upper_y[i]);
  // The leading edge once where both surfaces begin there.
  const bool shared = c.lower_x[0] == c.upper_x[0] && c.lower_y[0] == c.upper_y[0];
  for (std::size_t i = shared ? 1 : 0; i < n; ++i) point(c.lower_x[i], c.lower_y[i]);
  return out;
}

}  // namespace tarvelo
