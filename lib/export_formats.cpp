// The table of export formats. A new format is a file with its writer and a
// row here, the writer declared beside its row. Each writer takes options
// already checked against its row: a size in range where the format needs
// one, a point count in range (the default filled in) where it takes one. A
// format that needs a size gets the foil with the trailing edge already set
// and no te_thickness.
#include <tarvelo/tarvelo.h>

#include <string>

namespace tarvelo {

std::string WriteTable(const FoilSpline& foil, const ExportOptions& options);
std::string WriteSelig(const FoilSpline& foil, const ExportOptions& options);
std::string WriteDxf(const FoilSpline& foil, const ExportOptions& options);
std::string WriteSvg(const FoilSpline& foil, const ExportOptions& options);
std::string WriteProperties(const FoilSpline& foil, const ExportOptions& options);
std::string WriteStep(const FoilSpline& foil, const ExportOptions& options);

const std::vector<ExportFormat>& ExportFormats() {
  static const std::vector<ExportFormat> formats = {
      {"table", "Table of thickness and camber",
       "x, normalised thickness and normalised camber at each chord position, 8 decimals",
       "-table.txt", "Text files (*.txt)", false, true, false, 41, WriteTable},
      {"selig", "Selig coordinates",
       "the outline as Selig coordinates: from the trailing edge over the upper surface to the "
       "leading edge and back along the lower one",
       "-outline.dat", "Coordinate files (*.dat)", true, false, true, 81, WriteSelig},
      {"dxf", "DXF outline", "the outline as two cubic SPLINE entities on the layers UPPER and LOWER: exact, or within 1e-9 of the "
       "chord laid off across",
       ".dxf", "DXF drawings (*.dxf)", true, false, true, 0, WriteDxf},
      {"svg", "SVG outline", "the outline as cubic Bezier paths, 1000 units to the chord: exact, or within 1e-9 of the chord "
       "laid off across", ".svg",
       "SVG drawings (*.svg)", true, false, true, 0, WriteSvg},
      {"properties", "Section properties",
       "largest thickness and camber, leading-edge radius, trailing-edge thickness and angle, area, "
       "centroid and second moments of the outline, as one JSON object",
       "-properties.json", "JSON files (*.json)", true, false, false, 0, WriteProperties},
      {"step", "STEP face",
       "the outline as B-spline curves bounding a planar face, in a STEP file (AP214): exact, or within 1e-9 "
       "of the chord laid off across; mm "
       "unless --units says",
       ".step", "STEP files (*.step *.stp)", true, false, true, 0, WriteStep},
#ifdef TARVELO_MORE_EXPORT_FORMATS
      // Rows a build adds without touching these: the tests add a long-named one.
#include TARVELO_MORE_EXPORT_FORMATS
#endif
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

}  // namespace tarvelo
