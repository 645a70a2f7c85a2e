// The writers behind the table of export formats (lib/export.cpp): one file
// each, all with the same signature. A new format is a new file with its
// writer, declared here, and a row of the table.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>

namespace tarvelo {

// Each takes options already checked against its row: a size in range where
// the format needs one, a point count in range (the default filled in) where
// it takes one. A format that needs a size gets the foil with the trailing
// edge already set and no te_thickness.
std::string WriteTable(const FoilSpline& foil, const ExportOptions& options);
std::string WriteSelig(const FoilSpline& foil, const ExportOptions& options);
std::string WriteDxf(const FoilSpline& foil, const ExportOptions& options);
std::string WriteSvg(const FoilSpline& foil, const ExportOptions& options);
std::string WriteProperties(const FoilSpline& foil, const ExportOptions& options);

}  // namespace tarvelo
