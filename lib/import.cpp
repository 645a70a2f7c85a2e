// Sections from the coordinates of their outlines.
#include <tarvelo/tarvelo.h>

#include "foilio/coordinate_file.h"
#include "geometry/outline.h"

namespace tarvelo {

Section ImportCoordinates(const std::filesystem::path& file, const ImportOptions& options) {
  // The count is checked before the file is read, as the fit checks its own.
  if (!options.at_file_stations &&
      (options.stations < kFewestStations || options.stations > kMostStations))
    throw Error(ErrorKind::Usage, "   5 to 401 stations are allowed !! ");
  const std::string name = file.string();
  return DecomposeOutline(ReadCoordinateFile(name), name, options);
}

}  // namespace tarvelo
