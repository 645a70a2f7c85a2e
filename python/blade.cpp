// tarvelo.make_blade and tarvelo.read_blade_table: a propeller blade from
// a radial table given as arrays, its report as a dict with the keys of
// tarvelo-blade --json, and the same files written.
#include "bindings.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvelo::python {

namespace {

// A column of the table: numbers as Vector() takes them, as many as r has.
std::vector<double> Column(const py::object& values, const char* what, std::size_t rows) {
  std::vector<double> v = Vector(values, what);
  if (rows != 0 && v.size() != rows)
    Refuse(std::string(what) + " has " + std::to_string(v.size()) + " values where r has " + std::to_string(rows));
  return v;
}

py::object Number(double v) { return std::isfinite(v) ? py::object(py::float_(v)) : py::object(py::none()); }

py::dict Report(const Blade& b, const std::vector<std::pair<std::string, std::vector<SolidCheck>>>& written) {
  py::dict d;
  d["diameter"] = b.diameter;
  d["units"] = LengthUnitName(b.units);
  d["blades"] = b.blades;
  d["volume"] = b.volume;
  d["expanded_area_ratio"] = b.expanded_area_ratio;
  d["projected_area_ratio"] = b.projected_area_ratio;
  d["tolerance"] = b.tolerance;
  d["max_deviation"] = b.max_deviation.deviation;
  d["max_deviation_r"] = b.max_deviation.r;
  d["max_deviation_x"] = b.max_deviation.x;
  d["max_deviation_side"] = b.max_deviation.side;
  d["planar"] = b.planar;
  d["left_handed"] = b.left_handed;
  py::list sections;
  for (const BladeSection& s : b.sections) {
    py::dict row, properties;
    row["r/R"] = s.row.r;
    row["radius"] = s.radius;
    row["chord"] = s.row.chord * b.diameter;
    row["pitch_angle_deg"] = s.pitch_angle_deg;
    for (const PropertyField& f : PropertyFields()) properties[f.key] = Number(s.properties.*f.value);
    row["properties"] = properties;
    sections.append(row);
  }
  d["sections"] = sections;
  py::list outputs;
  for (const auto& [file, solids] : written) {
    py::dict o;
    o["file"] = file;
    if (!solids.empty()) {
      py::list checks;
      for (const SolidCheck& s : solids) {
        py::dict c;
        c["valid"] = s.valid;
        c["closed"] = s.closed;
        c["volume"] = s.volume;
        c["area"] = s.area;
        checks.append(c);
      }
      o["solids"] = checks;
    }
    outputs.append(o);
  }
  d["outputs"] = outputs;
  return d;
}

}  // namespace

void RegisterBlade(py::module_& m) {
  m.def(
      "make_blade",
      [](const py::object& r, const py::object& chord, const py::object& pitch, const py::object& thickness,
         const py::object& camber, const std::optional<py::object>& skew, const std::optional<py::object>& rake,
         const FoilSpline& foil, double diameter, int blades, const std::string& units, double tolerance,
         double stl_tolerance, bool planar, bool left_handed, const std::vector<std::string>& exports,
         const std::filesystem::path& output_dir, const std::string& stem) {
        BladeTable table;
        const std::vector<double> rr = Column(r, "r", 0);
        const std::vector<double> c = Column(chord, "chord", rr.size()), p = Column(pitch, "pitch", rr.size()),
                                  t = Column(thickness, "thickness", rr.size()),
                                  f = Column(camber, "camber", rr.size());
        const std::vector<double> s = skew ? Column(*skew, "skew", rr.size()) : std::vector<double>(rr.size(), 0.0);
        const std::vector<double> k = rake ? Column(*rake, "rake", rr.size()) : std::vector<double>(rr.size(), 0.0);
        for (std::size_t i = 0; i < rr.size(); ++i) table.rows.push_back({rr[i], c[i], p[i], t[i], f[i], s[i], k[i], 0});
        BladeOptions options;
        options.diameter = diameter;
        options.blades = blades;
        options.units = units.empty() ? LengthUnit::None : FindLengthUnit(units);
        options.tolerance = tolerance;
        options.stl_tolerance = stl_tolerance;
        options.planar = planar;
        options.left_handed = left_handed;
        std::vector<const BladeFormat*> formats;
        for (const std::string& name : exports) formats.push_back(&FindBladeFormat(name));
        std::vector<std::pair<std::string, std::vector<SolidCheck>>> written;
        Blade blade;
        {
          py::gil_scoped_release unlocked;
          blade = MakeBlade(table, foil, options);
          // Everything is made before anything is written.
          std::vector<std::string> bytes;
          for (const BladeFormat* format : formats) {
            std::vector<SolidCheck> solids;
            bytes.push_back(format->write(blade, &solids));
            written.push_back({(output_dir / (stem + format->file_ending)).string(), solids});
          }
          for (std::size_t i = 0; i < bytes.size(); ++i) WriteFileContents(written[i].first, bytes[i]);
        }
        return Report(blade, written);
      },
      py::arg("r"), py::arg("chord"), py::arg("pitch"), py::arg("thickness"), py::arg("camber"),
      py::arg("skew") = py::none(), py::arg("rake") = py::none(), py::kw_only(), py::arg("foil"),
      py::arg("diameter"), py::arg("blades"), py::arg("units") = "mm", py::arg("tolerance") = kBladeTolerance,
      py::arg("stl_tolerance") = kBladeStlTolerance, py::arg("planar") = false, py::arg("left_handed") = false,
      py::arg("export") = std::vector<std::string>{}, py::arg("output_dir") = std::filesystem::path("."),
      py::arg("stem") = "blade",
      "A propeller blade from its radial table: r/R, c/D, P/D, t0/c, f0/c, skew (degrees) and rake/D as "
      "arrays, and a FoilSpline. Returns the report as a dict (the keys of tarvelo-blade --json) and writes "
      "the formats of `export` (step, iges, stl, csv, svg) as output_dir/stem + ending.");
  m.def(
      "read_blade_table",
      [](const std::filesystem::path& file) {
        const BladeTable t = [&] {
          py::gil_scoped_release unlocked;
          return ReadBladeTable(file);
        }();
        py::dict d;
        d["r"] = Array([&] { std::vector<double> v; for (const BladeRow& r : t.rows) v.push_back(r.r); return v; }());
        const std::pair<const char*, double BladeRow::*> columns[] = {
            {"chord", &BladeRow::chord}, {"pitch", &BladeRow::pitch}, {"thickness", &BladeRow::thickness},
            {"camber", &BladeRow::camber}, {"skew", &BladeRow::skew_deg}, {"rake", &BladeRow::rake}};
        for (const auto& [name, column] : columns) {
          std::vector<double> v;
          for (const BladeRow& r : t.rows) v.push_back(r.*column);
          d[name] = Array(v);
        }
        d["diameter"] = t.diameter;
        d["units"] = LengthUnitName(t.units);
        d["blades"] = t.blades;
        return d;
      },
      py::arg("file"),
      "A radial table file as arrays r, chord, pitch, thickness, camber, skew, rake, with its diameter, "
      "units and blade count (0 and '' where it gives none).");
  m.def(
      "blade_formats",
      [] {
        std::vector<std::string> names;
        for (const BladeFormat& f : BladeFormats()) names.push_back(f.name);
        return names;
      },
      "The formats make_blade writes.");
}

}  // namespace tarvelo::python
