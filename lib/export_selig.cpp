// "selig": the outline as Selig coordinates, as panel codes read them.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <optional>

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
  // Laid off across the mean line, each point is where the normal at x puts
  // it; vertically, the thickness and camber at x, evaluated once for both
  // surfaces.
  std::optional<AcrossOutline> across;
  std::vector<FoilSpline::Value> at;
  if (LaidOffAcross(options))
    across.emplace(foil, size);
  else
    for (double xi : x) at.push_back(foil.Evaluate(xi));

  std::string out = OutlineName(foil, size) + '\n';
  const auto point = [&](std::size_t i, double side) {
    double px = x[i], py = 0;
    if (across) {
      const AcrossOutline::Point p = across->AtChord(x[i], side);
      px = p.x;
      py = p.y;
    } else {
      py = size.camber * at[i].camber + side * (size.thickness * at[i].thickness / 2);
    }
    const double drawnX = chord * px, drawnY = chord * py;
    if (!std::isfinite(drawnX) || !std::isfinite(drawnY))
      throw BeyondDoubles("the outline at x = " + ShortestText(x[i]));
    out += FSt(2, 0, 7, drawnX) + FSt(2, 0, 7, drawnY) + '\n';
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
