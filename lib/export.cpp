// The table of export formats, and the export that checks its options
// against a format's row before the format's writer runs.
#include <tarvelo/tarvelo.h>

#include "lib/exports.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

// A chord this long in any unit is a typing error, and keeps every
// coordinate far inside the range the formats write.
constexpr double kLongestChord = 1e6;

}  // namespace

const std::vector<ExportFormat>& ExportFormats() {
  static const std::vector<ExportFormat> formats = {
      {"table", "Table of thickness and camber",
       "x, normalised thickness and normalised camber at each chord position, 8 decimals",
       "-table.txt", "Text files (*.txt)", false, true, 41, WriteTable},
      {"selig", "Selig coordinates",
       "the outline as Selig coordinates: from the trailing edge over the upper surface to the "
       "leading edge and back along the lower one",
       "-outline.dat", "Coordinate files (*.dat)", true, false, 81, WriteSelig},
      {"dxf", "DXF outline", "the exact outline as two cubic SPLINE entities on the layers UPPER and LOWER",
       ".dxf", "DXF drawings (*.dxf)", true, false, 0, WriteDxf},
      {"svg", "SVG outline", "the exact outline as cubic Bezier paths, 1000 units to the chord", ".svg",
       "SVG drawings (*.svg)", true, false, 0, WriteSvg},
      {"properties", "Section properties",
       "largest thickness and camber, leading-edge radius, trailing-edge thickness and angle, area, "
       "centroid and second moments of the outline, as one JSON object",
       "-properties.json", "JSON files (*.json)", true, false, 0, WriteProperties},
  };
  return formats;
}

const ExportFormat& FindExportFormat(std::string_view name) {
  std::string names;
  const std::vector<ExportFormat>& formats = ExportFormats();
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (name == formats[i].name) return formats[i];
    names += (i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + std::string(formats[i].name);
  }
  throw Error(ErrorKind::Usage, "unknown export format '" + std::string(name) + "': use " + names);
}

std::string Export(const FoilSpline& foil, std::string_view name, const ExportOptions& options) {
  const ExportFormat& format = FindExportFormat(name);
  const std::string which = "the " + std::string(format.name) + " export ";
  ExportOptions checked = options;
  if (checked.points != 0 && format.default_points == 0)
    throw Error(ErrorKind::Usage, which + "is exact and takes no point count");
  if (!checked.stations.empty() && !format.takes_stations)
    throw Error(ErrorKind::Usage, which + "takes no stations");
  if (!checked.stations.empty() && checked.points != 0)
    throw Error(ErrorKind::Usage, "a point count and stations exclude each other");
  if (checked.points == 0) {
    checked.points = format.default_points;
  } else if (checked.points < 2 || checked.points > kMostExportPoints) {
    throw Error(ErrorKind::Usage, "2 to " + std::to_string(kMostExportPoints) + " points are allowed");
  }
  if (format.needs_size) {
    CheckOutlineSize(checked.size);
    CheckCamberScale(foil, checked.size);
  }
  const bool drawn = checked.chord != 0 || checked.units != LengthUnit::None;
  if (drawn && !format.needs_size)
    throw Error(ErrorKind::Usage, which + "is normalised: it takes no chord length or units");
  if (!(checked.chord == 0 || (checked.chord > 0 && checked.chord <= kLongestChord)))
    throw Error(ErrorKind::Usage, "the chord length must be above 0 and at most 1e6");
  if (!format.needs_size) {
    if (checked.te_thickness) throw Error(ErrorKind::Usage, which + "takes no trailing-edge thickness");
    return format.write(foil, checked);
  }
  // Each writer draws the outline of the foil it is given at the size: the
  // trailing edge is set on the foil's control points before it sees them.
  const FoilSpline thickened = WithTrailingEdge(foil, checked.size, checked.te_thickness);
  checked.te_thickness.reset();
  return format.write(thickened, checked);
}

}  // namespace tarvelo
