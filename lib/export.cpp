// The export that checks its options against a format's row before the
// format's writer runs.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <limits>

#include "lib/foil.h"

namespace tarvelo {

namespace {

// A chord this long in any unit is a typing error, and keeps every
// coordinate far inside the range the formats write.
constexpr double kLongestChord = 1e6;

}  // namespace

std::string Export(const FoilSpline& foil, std::string_view name, const ExportOptions& options) {
  return Export(foil, FindExportFormat(name), options);
}

std::string Export(const FoilSpline& foil, const ExportFormat& format, const ExportOptions& options) {
  const std::string which = "the " + std::string(format.name) + " export ";
  ExportOptions checked = options;
  if (checked.points != 0 && format.default_points == 0)
    throw Error(ErrorKind::Usage, which + "is exact and takes no point count");
  if (!checked.stations.empty() && !format.takes_stations)
    throw Error(ErrorKind::Usage, which + "takes no stations");
  // Only coordinates of the outline can be laid off otherwise: the others
  // measure the section's curves, or the outline as SectionOutline draws it.
  if (checked.layoff != Layoff::Vertical && !format.takes_layoff)
    throw Error(ErrorKind::Usage, which + "writes no outline coordinates: it takes no lay-off " +
                                      LayoffName(checked.layoff) + ", only " + LayoffName(Layoff::Vertical));
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
  // A chord too small to be a normal number would draw every coordinate as 0.
  if (!(checked.chord == 0 || (std::isnormal(checked.chord) && checked.chord > 0 && checked.chord <= kLongestChord)))
    throw Error(ErrorKind::Usage, "the chord length must be from " +
                                      ShortestText(std::numeric_limits<double>::min()) + " to 1e6, not " +
                                      ShortestText(checked.chord));
  if (!format.needs_size) {
    if (checked.size.thickness != 0 || checked.size.camber != 0)
      throw Error(ErrorKind::Usage, which + "is normalised: it takes no thickness or camber");
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
