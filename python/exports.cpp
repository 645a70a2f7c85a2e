// The exports of a stored section: the bytes of whole files, in any format
// of the library's table, through one call, export(); export_formats() lists
// the table. export_table, export_selig, export_dxf and export_svg are the
// older spellings of export() for one format each, kept for the scripts that
// use them.
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "bindings.h"

namespace tarvelo::python {

namespace {

py::list Formats() {
  py::list formats;
  for (const ExportFormat& f : ExportFormats()) {
    py::dict row;
    row["name"] = f.name;
    row["description"] = f.description;
    row["file_ending"] = f.file_ending;
    row["needs_size"] = f.needs_size;
    row["takes_stations"] = f.takes_stations;
    row["default_points"] = f.default_points;
    row["takes_layoff"] = f.takes_layoff;
    formats.append(row);
  }
  return formats;
}

// Stations given are at least one: none at all would be the format's
// default, not the empty table asked for (as tarvelo-export --at refuses "").
std::vector<double> Stations(const py::object& given) {
  std::vector<double> stations = Vector(given, "stations");
  if (stations.empty()) Refuse("stations must hold at least one chord position");
  return stations;
}

py::bytes Exported(const FoilSpline& foil, const std::string& format, const ExportOptions& options) {
  return py::bytes(Released([&] { return Export(foil, format, options); }));
}

// Thickness and camber 0, the defaults, are none: the library refuses any
// other for a format that draws no outline.
py::bytes ExportAny(const FoilSpline& foil, const std::string& format, double thickness, double camber, int points,
                    const py::object& stations, double chord, const std::string& units,
                    std::optional<double> te_thickness, const std::string& layoff) {
  ExportOptions options;
  options.size = {thickness, camber};
  options.points = points;
  if (!stations.is_none()) options.stations = Stations(stations);
  options.chord = chord;
  options.units = units.empty() ? LengthUnit::None : FindLengthUnit(units);
  options.te_thickness = te_thickness;
  options.layoff = FindLayoff(layoff);
  return Exported(foil, format, options);
}

// The older spellings: export(foil, "table", stations=...), and the outline
// formats at a size.
void OlderSpellings(py::module_& m) {
  m.def(
      "export_table",
      [](const FoilSpline& foil, const py::object& stations) {
        return Exported(foil, "table", {{}, 0, Stations(stations)});
      },
      py::arg("foil"), py::arg("stations"), "export(foil, 'table', stations=stations).");
  m.def(
      "export_selig",
      [](const FoilSpline& foil, double thickness, double camber, int points_per_surface) {
        return Exported(foil, "selig", {{thickness, camber}, points_per_surface, {}});
      },
      py::arg("foil"), py::arg("thickness"), py::arg("camber"),
      py::arg("points_per_surface") = FindExportFormat("selig").default_points,
      "export(foil, 'selig', thickness, camber, points=points_per_surface).");
  const auto exact = [](const char* format) {
    return [format](const FoilSpline& foil, double thickness, double camber) {
      return Exported(foil, format, {{thickness, camber}, 0, {}});
    };
  };
  m.def("export_dxf", exact("dxf"), py::arg("foil"), py::arg("thickness"), py::arg("camber"),
        "export(foil, 'dxf', thickness, camber).");
  m.def("export_svg", exact("svg"), py::arg("foil"), py::arg("thickness"), py::arg("camber"),
        "export(foil, 'svg', thickness, camber).");
}

}  // namespace

void RegisterExports(py::module_& m) {
  m.def("export_formats", &Formats,
        "The export formats: name, description, file_ending, needs_size, takes_stations, "
        "default_points (0 for an exact format), takes_layoff.");
  m.def("export", &ExportAny, py::arg("foil"), py::arg("format"), py::arg("thickness") = 0.0,
        py::arg("camber") = 0.0, py::arg("points") = 0, py::arg("stations") = py::none(), py::arg("chord") = 0.0,
        py::arg("units") = "", py::arg("te_thickness") = py::none(), py::arg("layoff") = "vertical",
        "The bytes of the export of foil in a format of export_formats(): an outline at largest "
        "thickness and camber (fractions of the chord; the table takes neither), points 0 for the "
        "format's default or stations (chord positions) instead, drawn at a chord length in units, its "
        "trailing edge te_thickness thick if given, its thickness laid off 'vertical' or 'across' the "
        "mean line (selig, dxf, svg and step; the drawings then within 1e-9 of the chord).");
  OlderSpellings(m);
}

}  // namespace tarvelo::python
