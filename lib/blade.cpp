// A blade from a radial table and a foil: the options settled, the table and
// its interpolation checked, the surfaces fitted and the figures reported.
#include <cmath>

#include "lib/blade.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

constexpr int kMostBlades = 64;
constexpr double kLargestDiameter = 1e6;
constexpr double kTightestTolerance = 1e-9, kLoosestTolerance = 1e-3;
constexpr double kTightestStl = 1e-7, kLoosestStl = 1e-2;
// The interpolated chord and thickness are looked at this many times
// between two rows: a spline that dips to zero between rows does so over a
// good part of the interval.
constexpr int kLooksPerInterval = 64;

double Millimetres(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Centimetre: return 10;
    case LengthUnit::Metre: return 1000;
    case LengthUnit::Inch: return 25.4;
    default: return 1;
  }
}

// Throws BadData when the interpolation takes the chord (before the tip) or
// the thickness to 0 or below between two rows.
void CheckBetweenRows(const std::vector<BladeRow>& rows) {
  const std::vector<double> r = RowRadii(rows);
  const ColumnSpline chord = InterpolateColumn(r, ColumnOf(rows, &BladeRow::chord));
  const ColumnSpline thickness = InterpolateColumn(r, ColumnOf(rows, &BladeRow::thickness));
  for (std::size_t i = 0; i + 1 < rows.size(); ++i)
    for (int k = 1; k < kLooksPerInterval; ++k) {
      const double at = r[i] + (r[i + 1] - r[i]) * k / kLooksPerInterval;
      const auto where = [&](const char* column) {
        return "between " + RowName(rows[i], i) + " and " + RowName(rows[i + 1], i + 1) + ", column " + column +
               ": the interpolated ";
      };
      if (!(chord.Value(at) > 0))
        throw Error(ErrorKind::BadData, "the table", where("c/D") + "chord falls to 0 or below at r/R = " + ShortestText(at));
      if (!(thickness.Value(at) > 0))
        throw Error(ErrorKind::BadData, "the table",
                    where("t0/c") + "thickness falls to 0 or below at r/R = " + ShortestText(at));
    }
}

}  // namespace

Blade MakeBlade(const BladeTable& table, const FoilSpline& foil, const BladeOptions& options) {
  CheckBladeTable(table, "the table");
  KnotsOf(foil);
  Blade blade;
  blade.foil = foil;
  blade.rows = table.rows;
  blade.units = options.units != LengthUnit::None ? options.units
                : table.units != LengthUnit::None ? table.units
                                                  : LengthUnit::Millimetre;
  if (options.diameter != 0) {
    blade.diameter = options.diameter;
  } else if (table.diameter > 0) {
    const LengthUnit given = table.units == LengthUnit::None ? blade.units : table.units;
    blade.diameter = table.diameter * Millimetres(given) / Millimetres(blade.units);
  } else {
    throw Error(ErrorKind::Usage, "the diameter is given neither by the table nor by the options");
  }
  if (!(blade.diameter > 0 && blade.diameter <= kLargestDiameter))
    throw Error(ErrorKind::Usage, "the diameter must be above 0 and at most 1e6");
  blade.blades = options.blades != 0 ? options.blades : table.blades;
  if (blade.blades == 0) throw Error(ErrorKind::Usage, "the number of blades is given neither by the table nor by the options");
  if (blade.blades < 1 || blade.blades > kMostBlades)
    throw Error(ErrorKind::Usage, "the number of blades must be from 1 to " + std::to_string(kMostBlades));
  if (!(options.tolerance >= kTightestTolerance && options.tolerance <= kLoosestTolerance))
    throw Error(ErrorKind::Usage, "the tolerance must be from 1e-9 to 1e-3 of the diameter");
  if (!(options.stl_tolerance >= kTightestStl && options.stl_tolerance <= kLoosestStl))
    throw Error(ErrorKind::Usage, "the STL tolerance must be from 1e-7 to 1e-2 of the diameter");
  for (const BladeRow& row : table.rows) CheckCamberScale(foil, {row.thickness, row.camber});
  CheckBetweenRows(table.rows);

  blade.planar = options.planar;
  blade.left_handed = options.left_handed;
  blade.tolerance = (options.planar ? std::min(options.tolerance, kPlanarBladeTolerance) : options.tolerance) *
                    blade.diameter;
  blade.stl_tolerance = options.stl_tolerance * blade.diameter;
  const BladeShape shape = ShapeOf(blade);
  FittedSurfaces fitted = FitBladeSurfaces(shape, blade.tolerance);
  blade.surfaces = std::move(fitted.surfaces);
  blade.max_deviation = fitted.deviation;
  ReportBlade(shape, blade);
  return blade;
}

BladeShape ShapeOf(const Blade& blade) {
  return BladeShape(blade.rows, blade.foil, blade.diameter, blade.planar, blade.left_handed);
}

std::array<double, 3> BladePoint(const Blade& blade, double r, double x, bool back) {
  if (blade.rows.size() < 2 || !(r >= blade.rows.front().r && r <= blade.rows.back().r))
    throw Error(ErrorKind::Usage, ShortestText(r) + " is not an r/R of the blade");
  if (!(x >= 0 && x <= 1)) throw Error(ErrorKind::Usage, ShortestText(x) + " is not a chord position from 0 to 1");
  const BladeShape shape = ShapeOf(blade);
  return shape.Point(shape.At(r), shape.Foil(shape.ParameterOf(x)), back ? 1 : -1);
}

}  // namespace tarvelo
