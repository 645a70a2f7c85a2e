// Sections: made in Python, read from a data file, or imported from an
// outline with what the import did; and the bytes of a section data file.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <utility>

#include "bindings.h"

namespace tarvelo::python {

namespace {

void SectionClass(py::module_& m) {
  py::class_<Section>(m, "Section", "A foil section as its data file gives it (fractions of the chord).")
      .def(py::init([](const std::string& id_line, const py::object& x, const py::object& thickness,
                       const py::object& camber) {
             Section s{id_line, Vector(x, "x"), Vector(thickness, "thickness"), Vector(camber, "camber")};
             CheckSection(s);
             return s;
           }),
           py::arg("id_line"), py::arg("x"), py::arg("thickness"), py::arg("camber"),
           "x, thickness and camber as fractions of the chord, x from 0 to 1 and never decreasing.")
      .def("__repr__", [](const Section& s) {
        return "<tarvelo.Section " + std::string(py::repr(Text(s.id_line))) + ", " + std::to_string(s.points()) +
               " points>";
      })
      .def_property_readonly("id_line", [](const Section& s) { return Text(s.id_line); })
      .def_property_readonly("x", [](const Section& s) { return Array(s.x); })
      .def_property_readonly("thickness", [](const Section& s) { return Array(s.thickness); })
      .def_property_readonly("camber", [](const Section& s) { return Array(s.camber); })
      .def_property_readonly("points", &Section::points)
      // As it was read: a section from a file is not checked again.
      .def(py::pickle(
          [](const Section& s) { return py::make_tuple(py::bytes(s.id_line), Array(s.x), Array(s.thickness),
                                                       Array(s.camber)); },
          Unpickling<Section>("tarvelo.Section", 4, [](const py::tuple& t) {
            return Section{t[0].cast<std::string>(), Vector(t[1], "x"), Vector(t[2], "thickness"),
                           Vector(t[3], "camber")};
          })))
      .def("__reduce_ex__", &ReduceEx);
}

ImportFrame FrameNamed(const std::string& name) {
  for (const ImportFrame frame : {ImportFrame::Kept, ImportFrame::Normalised})
    if (name == ImportFrameName(frame)) return frame;
  NotAState("tarvelo.ImportTransform");
}

void TransformClass(py::module_& m) {
  py::class_<ImportTransform>(m, "ImportTransform",
                              "Chord coordinates = scale * R(-angle_deg) * (file point - shift).")
      .def_property_readonly("frame", [](const ImportTransform& t) { return ImportFrameName(t.frame); })
      .def_readonly("scale", &ImportTransform::scale)
      .def_readonly("angle_deg", &ImportTransform::angle_deg)
      .def_property_readonly("shift", [](const ImportTransform& t) { return py::make_tuple(t.shift.x, t.shift.y); })
      .def("__str__", &ImportTransformText)
      .def("__repr__", [](const ImportTransform& t) { return "<tarvelo.ImportTransform " + ImportTransformText(t) + ">"; })
      .def(py::pickle(
          [](const ImportTransform& t) {
            return py::make_tuple(ImportFrameName(t.frame), t.scale, t.angle_deg, t.shift.x, t.shift.y);
          },
          Unpickling<ImportTransform>("tarvelo.ImportTransform", 5, [](const py::tuple& t) {
            return ImportTransform{FrameNamed(t[0].cast<std::string>()), t[1].cast<double>(), t[2].cast<double>(),
                                   {t[3].cast<double>(), t[4].cast<double>()}};
          })))
      .def("__reduce_ex__", &ReduceEx);
}

py::list Warnings(const ImportedSection& i) {
  py::list texts;
  for (const std::string& w : i.warnings) texts.append(Text(w));
  return texts;
}

py::tuple ImportedState(const ImportedSection& i) {
  py::list warnings;
  for (const std::string& w : i.warnings) warnings.append(py::bytes(w));
  py::list changes;
  for (const CurvatureChange& c : i.nose_inflections) changes.append(py::make_tuple(c.x, c.upper));
  return py::make_tuple(i.section, i.transform, warnings, PointArray(i.upper), PointArray(i.lower),
                        PointArray(i.upper_between), PointArray(i.lower_between), i.le_radius, changes);
}

// Curvature sign changes as (x, 'upper' or 'lower') pairs.
py::list ChangeList(const std::vector<CurvatureChange>& changes) {
  py::list list;
  for (const CurvatureChange& c : changes) list.append(py::make_tuple(c.x, c.upper ? "upper" : "lower"));
  return list;
}

ImportedSection ImportedFromState(const py::tuple& t) {
  std::vector<CurvatureChange> changes;
  for (const auto& c : t[8].cast<std::vector<std::pair<double, bool>>>()) changes.push_back({c.first, c.second});
  return ImportedSection{t[0].cast<Section>(),
                         t[1].cast<ImportTransform>(),
                         t[2].cast<std::vector<std::string>>(),
                         Points(t[3], "upper"),
                         Points(t[4], "lower"),
                         Points(t[5], "upper_between"),
                         Points(t[6], "lower_between"),
                         t[7].cast<double>(),
                         changes};
}

void ImportedSectionClass(py::module_& m) {
  py::class_<ImportedSection>(m, "ImportedSection",
                              "A section imported from an outline, and what the import did to it.")
      .def_readonly("section", &ImportedSection::section)
      .def_readonly("transform", &ImportedSection::transform)
      .def_property_readonly("frame", [](const ImportedSection& i) { return ImportFrameName(i.transform.frame); })
      .def_property_readonly("scale", [](const ImportedSection& i) { return i.transform.scale; })
      .def_property_readonly("angle_deg", [](const ImportedSection& i) { return i.transform.angle_deg; })
      .def_property_readonly("shift", [](const ImportedSection& i) {
        return py::make_tuple(i.transform.shift.x, i.transform.shift.y);
      })
      .def_property_readonly("warnings", &Warnings)
      .def_property_readonly("upper", [](const ImportedSection& i) { return PointArray(i.upper); })
      .def_property_readonly("lower", [](const ImportedSection& i) { return PointArray(i.lower); })
      .def_property_readonly("upper_between", [](const ImportedSection& i) { return PointArray(i.upper_between); })
      .def_property_readonly("lower_between", [](const ImportedSection& i) { return PointArray(i.lower_between); })
      .def_readonly("le_radius", &ImportedSection::le_radius)
      .def_property_readonly("nose_inflections",
                             [](const ImportedSection& i) { return ChangeList(i.nose_inflections); })
      .def("__repr__", [](const ImportedSection& i) {
        return "<tarvelo.ImportedSection " + std::string(py::repr(Text(i.section.id_line))) + ", " +
               std::to_string(i.section.points()) + " points, " + ImportTransformText(i.transform) + ", " +
               std::to_string(i.warnings.size()) + " warnings>";
      })
      .def(py::pickle(&ImportedState, Unpickling<ImportedSection>("tarvelo.ImportedSection", 9, &ImportedFromState)))
      .def("__reduce_ex__", &ReduceEx);
}

// An outline from a path, or from an array of shape (n, 2) in Selig order.
ImportedSection ImportFrom(const py::object& outline, const std::string& name, int stations,
                           bool at_file_stations, bool at_every_point) {
  const ImportOptions options{stations, at_file_stations, at_every_point};
  if (py::isinstance<py::str>(outline) || py::hasattr(outline, "__fspath__")) {
    const auto path = outline.cast<std::filesystem::path>();
    return Released([&] { return ImportOutline(path, options); });
  }
  const Coordinates coordinates{name, Points(outline, "an outline that is not a path")};
  return Released([&] { return ImportOutline(coordinates, options); });
}

// The section alone would keep a repair of the outline to itself: each is a
// UserWarning (the ID line names a change of frame).
Section ImportWarned(const py::object& outline, const std::string& name, int stations, bool at_file_stations,
                     bool at_every_point) {
  ImportedSection imported = ImportFrom(outline, name, stations, at_file_stations, at_every_point);
  for (const std::string& warning : imported.warnings)
    if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) != 0) throw py::error_already_set();
  return std::move(imported.section);
}

void ImportFunctions(py::module_& m) {
  m.def("import_coordinates", &ImportWarned, py::arg("outline"), py::arg("name") = "", py::arg("stations") = 41,
        py::arg("at_file_stations") = false, py::arg("at_every_point") = false,
        "A section from the outline of a coordinate file (Selig or Lednicer layout) or of an array of "
        "shape (n, 2) in Selig order named `name`; each repair of the outline is a UserWarning "
        "(import_outline gives them as a list).");
  m.def("import_outline", &ImportFrom, py::arg("outline"), py::arg("name") = "", py::arg("stations") = 41,
        py::arg("at_file_stations") = false, py::arg("at_every_point") = false,
        "A section from an outline: a coordinate file's path, or an array of shape (n, 2) in "
        "Selig order named `name`; with its transform (also as frame, scale, angle_deg, shift), "
        "warnings and the outline's points in chord coordinates (upper, lower). at_every_point: "
        "stations at every point of the outline, halfway between them and `stations` cosine-spaced "
        "ones, as tarvelo-fit --auto-outline takes them.");
}

}  // namespace

void RegisterSections(py::module_& m) {
  SectionClass(m);
  TransformClass(m);
  ImportedSectionClass(m);
  m.def("read_section", &ReadSection, py::arg("path"), Unlocked(), "Reads a section data file (*.dat).");
  ImportFunctions(m);
  m.def(
      "section_file_text",
      [](const Section& section, int decimals) {
        return py::bytes(Released([&] { return SectionFileText(section, decimals); }));
      },
      py::arg("section"), py::arg("decimals") = 6,
      "The bytes of the section data file (*.dat) of a section, 6 or 4 decimals of a percent.");
}

}  // namespace tarvelo::python
