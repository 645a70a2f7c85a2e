// "selig": the outline as Selig coordinates, as panel codes read them.
#include <tarvelo/tarvelo.h>

#include <cmath>

#include "foilio/number_format.h"
#include "lib/foil.h"

namespace tarvelo {

std::string WriteSelig(const FoilSpline& foil, const ExportOptions& options) {
  const OutlineSize& size = options.size;
  const int points_per_surface = options.points;
  const double chord = DrawnChord(options);
  CheckOutlineSize(size);
  CheckCamberScale(foil, size);
  CheckIdLine(foil.id_line);  // the name line must stay one line
  const std::vector<double> x = CosineStations(points_per_surface);
  std::vector<FoilSpline::Value> at;
  for (double xi : x) at.push_back(foil.Evaluate(xi));

  std::string out = OutlineName(foil, size) + '\n';
  if (LaidOffAcross(options)) {
    // Each point where the thickness at x, laid off across the mean line, puts it.
    const AcrossOutline across(foil, size);
    const auto point = [&](std::size_t i, double side) {
      const AcrossOutline::Point p = across.AtChord(x[i], side);
      const double drawnX = chord * p.x, drawnY = chord * p.y;
      if (!std::isfinite(drawnX) || !std::isfinite(drawnY))
        throw BeyondDoubles("the outline at x = " + ShortestText(x[i]));
      out += FSt(2, 0, 7, drawnX) + FSt(2, 0, 7, drawnY) + '\n';
    };
    for (std::size_t i = x.size(); i-- > 0;) point(i, 1);
    for (std::size_t i = 1; i < x.size(); ++i) point(i, -1);
    return out;
  }
  const auto point = [&](std::size_t i, double side) {
    const double y = size.camber * at[i].camber + side * (size.thickness * at[i].thickness / 2);
    const double drawn = chord * y;
    if (!std::isfinite(drawn)) throw BeyondDoubles("the outline at x = " + ShortestText(x[i]));
    out += FSt(2, 0, 7, chord * x[i]) + FSt(2, 0, 7, drawn) + '\n';
  };
  for (std::size_t i = x.size(); i-- > 0;) point(i, 1);
  for (std::size_t i = 1; i < x.size(); ++i) point(i, -1);
  return out;
}


std::string ExportSelig(const FoilSpline& foil, const OutlineSize& size, int points_per_surface) {
  ExportOptions options;
  options.size = size;
  options.points = points_per_surface;
  return WriteSelig(foil, options);
}

}  // namespace tarvelo
