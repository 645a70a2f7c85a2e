// "table": normalised thickness and camber at chord positions.
#include <tarvelo/tarvelo.h>

#include "foilio/number_format.h"

namespace tarvelo {

std::string ExportTable(const FoilSpline& foil, const std::vector<double>& stations) {
  std::string out;
  for (double x : stations) {
    const FoilSpline::Value v = foil.Evaluate(x);
    out += FSt(0, 0, 8, x) + FSt(2, 0, 8, v.thickness) + FSt(2, 0, 8, v.camber) + '\n';
  }
  return out;
}

std::string WriteTable(const FoilSpline& foil, const ExportOptions& options) {
  return ExportTable(foil, options.stations.empty() ? CosineStations(options.points) : options.stations);
}

}  // namespace tarvelo
