// The Python module tarvelo: the public API with numpy arrays for its
// vectors and tarvelo.Error (with the library's kind) for its failures. It
// adds no logic of its own, and lets go of the interpreter's lock while the
// library works, so that threads fit, read and write at once.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>
#include <tarvelo/tarvelo.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace tarvelo;

namespace {

// Released around a library call; what it takes and returns is C++ data.
using Unlocked = py::call_guard<py::gil_scoped_release>;

// f() without the interpreter's lock, its result then made a Python object.
template <class F>
auto Released(F&& f) {
  py::gil_scoped_release unlocked;
  return f();
}

template <class T>
py::array_t<T> Array(const std::vector<T>& v) {
  return py::array_t<T>(static_cast<py::ssize_t>(v.size()), v.data());
}

// Numbers as an array of doubles: TypeError for anything that is not numbers
// (strings included, which numpy would read as numbers).
py::array_t<double, py::array::c_style | py::array::forcecast> Numbers(const py::object& values, const char* what) {
  if (py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values))
    throw py::type_error(std::string(what) + " must be numbers, not text");
  const py::array raw = py::array::ensure(values);
  if (!raw || !(raw.dtype().kind() == 'f' || raw.dtype().kind() == 'i' || raw.dtype().kind() == 'u' ||
                raw.dtype().kind() == 'b'))
    throw py::type_error(std::string(what) + " must be numbers");
  return py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(raw);
}

std::vector<double> Vector(const py::object& values, const char* what) {
  const auto a = Numbers(values, what);
  if (a.ndim() != 1) throw py::value_error(std::string(what) + " must be one-dimensional");
  return std::vector<double>(a.data(), a.data() + a.size());
}

// Short numbers for a repr: four significant digits.
std::string Short(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return text;
}

// File texts are 8-bit: shown as the library shows them (TextAsUtf8).
py::str Text(const std::string& bytes) { return py::str(TextAsUtf8(bytes)); }

// The size an outline is drawn at: the given thickness and camber, or the
// section's own size when the spline knows it and neither is given.
OutlineSize SizeOf(const FoilSpline& foil, const std::optional<double>& thickness,
                   const std::optional<double>& camber) {
  if (thickness && camber) return {*thickness, *camber};
  if (foil.own_size && !thickness && !camber) return *foil.own_size;
  throw py::value_error(foil.own_size ? "give both thickness and camber, or neither for the section's own size"
                                      : "a FoilSpline read from a .FOI knows no size of its own: give "
                                        "thickness and camber (fractions of the chord)");
}

// Thickness and camber of the same shape as x: floats for a float, arrays for
// an array or a sequence.
// With `scaled`, in fractions of the chord: the section's own size when the
// spline knows it, else the given thickness and camber.
py::object Evaluate(const FoilSpline& foil, const py::object& x, bool scaled, const std::optional<double>& thickness,
                    const std::optional<double>& camber) {
  OutlineSize size{1, 1};
  if (scaled) {
    size = SizeOf(foil, thickness, camber);
  } else if (thickness || camber) {
    throw py::value_error("thickness and camber are for scaled=True");
  }
  if (!py::isinstance<py::array>(x) && !py::isinstance<py::sequence>(x)) {
    if (!py::isinstance<py::float_>(x) && !py::isinstance<py::int_>(x) && !py::hasattr(x, "__float__"))
      throw py::type_error("x must be a float or an array of floats");
    const FoilSpline::Value v = foil.Evaluate(x.cast<double>());
    return py::make_tuple(size.thickness * v.thickness, size.camber * v.camber);
  }
  const auto in = Numbers(x, "x");
  const std::vector<py::ssize_t> shape(in.shape(), in.shape() + in.ndim());
  py::array_t<double> thicknesses(shape);
  py::array_t<double> cambers(shape);
  const double* at = in.data();
  double* t = thicknesses.mutable_data();
  double* c = cambers.mutable_data();
  const py::ssize_t n = in.size();
  Released([&] {
    for (py::ssize_t i = 0; i < n; ++i) {
      const FoilSpline::Value v = foil.Evaluate(at[i]);
      t[i] = size.thickness * v.thickness;
      c[i] = size.camber * v.camber;
    }
    return 0;
  });
  return py::make_tuple(thicknesses, cambers);
}

// Points as an array of shape (n, 2): x, y.
py::array_t<double> PointArray(const std::vector<CoordinatePoint>& points) {
  py::array_t<double> a({static_cast<py::ssize_t>(points.size()), py::ssize_t{2}});
  double* out = a.mutable_data();
  for (const CoordinatePoint& p : points) *out++ = p.x, *out++ = p.y;
  return a;
}

// An outline from a path, or from an array of shape (n, 2) in Selig order.
ImportedSection ImportFrom(const py::object& outline, const std::string& name, int stations,
                           bool at_file_stations) {
  const ImportOptions options{stations, at_file_stations};

  if (py::isinstance<py::str>(outline) || py::hasattr(outline, "__fspath__")) {
    const auto path = outline.cast<std::filesystem::path>();
    return Released([&] { return ImportOutline(path, options); });
  }
  const auto a = Numbers(outline, "outline");
  if (a.ndim() != 2 || a.shape(1) != 2) throw py::value_error("outline is a path or an array of shape (n, 2)");
  Coordinates coordinates{name, {}};
  for (py::ssize_t i = 0; i < a.shape(0); ++i) coordinates.points.push_back({a.at(i, 0), a.at(i, 1)});
  return Released([&] { return ImportOutline(coordinates, options); });
}

}  // namespace

PYBIND11_MODULE(tarvelo, m) {
  m.doc() = "Fits cubic B-splines to the thickness and camber of foil sections (TARVELO).";
  // tarvelo.Error, with the kind of failure as its attribute `kind`
  // ("not_found", "bad_data", ...) for scripts to test.
  // An argument the library refuses (kind "usage") is also a ValueError, as
  // Python code expects of a bad value: tarvelo.UsageError.
  static py::exception<Error> error(m, "Error");
  static const py::object usage = py::reinterpret_steal<py::object>(PyErr_NewException(
      "tarvelo.UsageError", py::make_tuple(error, py::handle(PyExc_ValueError)).ptr(), nullptr));
  m.attr("UsageError") = usage;
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const Error& e) {
      const py::handle type = e.kind() == ErrorKind::Usage ? py::handle(usage) : py::handle(error.ptr());
      py::object raised = type(e.what());
      raised.attr("kind") = ErrorKindName(e.kind());
      PyErr_SetObject(type.ptr(), raised.ptr());
    }
  });

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
      .def_property_readonly("points", &Section::points);

  py::class_<CurveFit>(m, "CurveFit", "One fitted curve: thickness or camber.")
      .def_readonly("ymax", &CurveFit::ymax)
      .def_readonly("rms", &CurveFit::rms)
      .def_readonly("max_deviation", &CurveFit::max_deviation)
      .def_readonly("max_deviation_x", &CurveFit::max_deviation_x)
      .def_property_readonly("control", [](const CurveFit& c) { return Array(c.control); })
      .def_property_readonly("fitted", [](const CurveFit& c) { return Array(c.fitted); })
      .def_property_readonly("difference", [](const CurveFit& c) { return Array(c.difference); })
      .def("__repr__", [](const CurveFit& c) {
        return "<tarvelo.CurveFit ymax " + Short(c.ymax) + ", rms " + Short(c.rms) + ", max_deviation " +
               Short(c.max_deviation) + " at x " + Short(c.max_deviation_x) + ">";
      });

  py::class_<Fit>(m, "Fit", "The fit of a section: x, thickness and camber as cubic B-splines.")
      .def_property_readonly("id_line", [](const Fit& f) { return Text(f.id_line); })
      .def_readonly("control_points", &Fit::control_points)
      .def_readonly("order", &Fit::order)
      .def_property_readonly("placement", [](const Fit& f) { return f.placement; })
      .def_readonly("misplaced_points", &Fit::misplaced_points)
      .def_readonly("largest_misplacement", &Fit::largest_misplacement)
      .def_property_readonly("knots", [](const Fit& f) { return Array(f.knots); })
      .def_property_readonly("control_x", [](const Fit& f) { return Array(f.control_x); })
      .def_property_readonly("x", [](const Fit& f) { return Array(f.x); })
      .def_readonly("thickness", &Fit::thickness)
      .def_readonly("camber", &Fit::camber)
      .def("foil_spline", &FoilSplineOf,
           "The fitted section as a FoilSpline, knowing its own size; write_foil_file writes the same bytes.")
      .def("__repr__", [](const Fit& f) {
        return "<tarvelo.Fit " + std::string(py::repr(Text(f.id_line))) + ", " + std::to_string(f.control_points) +
               " control points, " + f.placement + " placement, rms thickness " +
               Short(f.thickness.rms) + " camber " + Short(f.camber.rms) + ">";
      });

  py::class_<FoilSpline>(m, "FoilSpline", "A fitted section as its .FOI file holds it.")
      .def_property_readonly("id_line", [](const FoilSpline& f) { return Text(f.id_line); })
      .def_readonly("order", &FoilSpline::order)
      .def_property_readonly("control_x", [](const FoilSpline& f) { return Array(f.control_x); })
      .def_property_readonly("thickness", [](const FoilSpline& f) { return Array(f.thickness); })
      .def_property_readonly("camber", [](const FoilSpline& f) { return Array(f.camber); })
      .def_property_readonly("own_size",
                             [](const FoilSpline& f) -> py::object {
                               if (!f.own_size) return py::none();
                               return py::make_tuple(f.own_size->thickness, f.own_size->camber);
                             })
      .def("evaluate", &Evaluate, py::arg("x"), py::arg("scaled") = false, py::arg("thickness") = py::none(),
           py::arg("camber") = py::none(),
           "(thickness, camber) at chord position x in [0, 1], x a float or an array: normalised, or with "
           "scaled=True in fractions of the chord, at the section's own size (a FoilSpline of a Fit) or at "
           "thickness and camber (as tarvelo-export's --thickness and --camber).")
      .def(
          "properties",
          [](const FoilSpline& foil, std::optional<double> thickness, std::optional<double> camber,
             std::optional<double> te_thickness) {
            const OutlineSize size = SizeOf(foil, thickness, camber);
            const OutlineProperties p = Released([&] { return SectionProperties(foil, size, te_thickness); });
            py::dict figures;
            for (const PropertyField& f : PropertyFields()) figures[f.key] = p.*f.value;
            return figures;
          },
          py::arg("thickness") = py::none(), py::arg("camber") = py::none(), py::arg("te_thickness") = py::none(),
          "The section properties of the outline at largest thickness and camber (fractions of "
          "the chord; neither for the section's own size, which a FoilSpline of a Fit knows), its "
          "trailing edge te_thickness thick if given: a dict in the order of PropertyFields "
          "(max_thickness ... ixy).")
      .def("__repr__", [](const FoilSpline& f) {
        return "<tarvelo.FoilSpline " + std::string(py::repr(Text(f.id_line))) + ", " +
               std::to_string(f.control_x.size()) + " control points" +
               (f.own_size ? ", own size t/c " + Short(f.own_size->thickness) + " f/c " + Short(f.own_size->camber)
                           : std::string()) +
               ">";
      });

  m.def("read_section", &ReadSection, py::arg("path"), Unlocked(), "Reads a section data file (*.dat).");
  m.def(
      "import_coordinates",
      [](const py::object& outline, const std::string& name, int stations, bool at_file_stations) {
        ImportedSection imported = ImportFrom(outline, name, stations, at_file_stations);
        // The section alone would keep a repair of the outline to itself:
        // each is a UserWarning (the ID line names a change of frame).
        for (const std::string& warning : imported.warnings)
          if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) != 0) throw py::error_already_set();
        return std::move(imported.section);
      },
      py::arg("outline"), py::arg("name") = "", py::arg("stations") = 41, py::arg("at_file_stations") = false,
      "A section from the outline of a coordinate file (Selig or Lednicer layout) or of an array of "
      "shape (n, 2) in Selig order named `name`; each repair of the outline is a UserWarning "
      "(import_outline gives them as a list).");
  py::class_<ImportedSection>(m, "ImportedSection",
                              "A section imported from an outline, and what the import did to it.")
      .def_readonly("section", &ImportedSection::section)
      .def_property_readonly("frame",
                             [](const ImportedSection& i) { return ImportFrameName(i.transform.frame); })
      .def_property_readonly("scale", [](const ImportedSection& i) { return i.transform.scale; })
      .def_property_readonly("angle_deg", [](const ImportedSection& i) { return i.transform.angle_deg; })
      .def_property_readonly("shift", [](const ImportedSection& i) {
        return py::make_tuple(i.transform.shift.x, i.transform.shift.y);
      })
      .def_property_readonly("warnings", [](const ImportedSection& i) {
        py::list texts;
        for (const std::string& w : i.warnings) texts.append(Text(w));
        return texts;
      })
      .def_property_readonly("upper", [](const ImportedSection& i) { return PointArray(i.upper); })
      .def_property_readonly("lower", [](const ImportedSection& i) { return PointArray(i.lower); });
  m.def("import_outline", &ImportFrom, py::arg("outline"), py::arg("name") = "",
        py::arg("stations") = 41, py::arg("at_file_stations") = false,
        "A section from an outline: a coordinate file's path, or an array of shape (n, 2) in "
        "Selig order named `name`; with its frame, scale, angle_deg, shift, warnings and the "
        "outline's points in chord coordinates (upper, lower).");
  m.def(
      "section_file_text",
      [](const Section& section, int decimals) {
        return py::bytes(Released([&] { return SectionFileText(section, decimals); }));
      },
      py::arg("section"), py::arg("decimals") = 6,
      "The bytes of the section data file (*.dat) of a section, 6 or 4 decimals of a percent.");
  m.def(
      "naca_section",
      [](const std::string& designation, int stations, bool table_stations, bool closed_te,
         std::optional<double> mean_line_a, int decimals) {
        const NacaOptions options{stations, table_stations, closed_te, mean_line_a, decimals};
        return Released([&] { return NacaSection(designation, options); });
      },
      py::arg("designation"), py::arg("stations") = 41, py::arg("table_stations") = false,
      py::arg("closed_te") = false, py::arg("mean_line_a") = py::none(), py::arg("decimals") = 6,
      "A NACA section from its published formulas: four digits ('2412'), five ('23012', mean "
      "lines 210 to 250) or 16-series ('16-206', with mean_line_a, default 1).");
  m.def(
      "fit_section",
      [](const Section& section, int control_points, const std::string& placement) {
        py::gil_scoped_release unlocked;
        return FitSection(section, FitOptions{control_points, placement});
      },
      py::arg("section"), py::arg("control_points") = 8,
      py::arg("placement") = std::string(PlacementMethods().front().name),
      "Fits thickness and camber with 4 to 80 control points; placement 'window' (every number as "
      "the window gives it) or 'exact' (each data point at its own chord position).");
  m.def("write_foil_file", &WriteFoilFile, py::arg("path"), py::arg("fit"), Unlocked(),
        "Writes the .FOI file of a fit, replacing an earlier file only when complete.");
  m.def("read_foil_file", &ReadFoilFile, py::arg("path"), Unlocked(), "Reads a .FOI file.");
  py::class_<OutlineSpline>(m, "OutlineSpline",
                            "Both surfaces of a section at a size: cubic B-splines on one knot vector.")
      .def_property_readonly("knots", [](const OutlineSpline& o) { return Array(o.knots); })
      .def_property_readonly("x", [](const OutlineSpline& o) { return Array(o.x); })
      .def_property_readonly("upper", [](const OutlineSpline& o) { return Array(o.upper); })
      .def_property_readonly("lower", [](const OutlineSpline& o) { return Array(o.lower); });
  const auto size = [](double thickness, double camber) { return OutlineSize{thickness, camber}; };
  m.def(
      "section_outline",
      [size](const FoilSpline& foil, double thickness, double camber, std::optional<double> te_thickness) {
        return SectionOutline(foil, size(thickness, camber), te_thickness);
      },
      py::arg("foil"), py::arg("thickness"), py::arg("camber"), py::arg("te_thickness") = py::none(),
      Unlocked(),
      "The outline with largest thickness and camber (fractions of the chord), its trailing edge "
      "te_thickness thick if given.");
  m.def(
      "cosine_stations", [](int count) { return CosineStations(count); },
      py::arg("count"),
        "count chord positions from 0 to 1, closer together towards both edges.");
  // The exports are the bytes of whole files, in any format of the library's
  // table; export_formats() lists the table.
  m.def(
      "export_formats",
      [] {
        py::list formats;
        for (const ExportFormat& f : ExportFormats()) {
          py::dict row;
          row["name"] = f.name;
          row["description"] = f.description;
          row["file_ending"] = f.file_ending;
          row["needs_size"] = f.needs_size;
          row["takes_stations"] = f.takes_stations;
          row["default_points"] = f.default_points;
          formats.append(row);
        }
        return formats;
      },
      "The export formats: name, description, file_ending, needs_size, takes_stations, "
      "default_points (0 for an exact format).");
  m.def(
      "export",
      [](const FoilSpline& foil, const std::string& format, double thickness, double camber, int points,
         const std::vector<double>& stations, double chord, const std::string& units,
         std::optional<double> te_thickness) {
        ExportOptions options{{thickness, camber}, points, stations};
        options.chord = chord;
        options.units = units.empty() ? LengthUnit::None : FindLengthUnit(units);
        options.te_thickness = te_thickness;
        return py::bytes(Released([&] { return Export(foil, format, options); }));
      },
      py::arg("foil"), py::arg("format"), py::arg("thickness") = 0.0, py::arg("camber") = 0.0,
      py::arg("points") = 0, py::arg("stations") = std::vector<double>{}, py::arg("chord") = 0.0,
      py::arg("units") = "", py::arg("te_thickness") = py::none(),
      "The bytes of the export of foil in a format of export_formats(); points 0 for its default, "
      "the trailing edge te_thickness thick if given.");
  m.def(
      "export_table",
      [](const FoilSpline& foil, const std::vector<double>& stations) {
        return py::bytes(Released([&] { return ExportTable(foil, stations); }));
      },
      py::arg("foil"), py::arg("stations"));
  m.def(
      "export_selig",
      [size](const FoilSpline& foil, double thickness, double camber, int points_per_surface) {
        return py::bytes(Released([&] { return ExportSelig(foil, size(thickness, camber), points_per_surface); }));
      },
      py::arg("foil"), py::arg("thickness"), py::arg("camber"),
      py::arg("points_per_surface") = FindExportFormat("selig").default_points);
  m.def(
      "export_dxf",
      [size](const FoilSpline& foil, double thickness, double camber) {
        return py::bytes(Released([&] { return ExportDxf(foil, size(thickness, camber)); }));
      },
      py::arg("foil"), py::arg("thickness"), py::arg("camber"));
  m.def(
      "export_svg",
      [size](const FoilSpline& foil, double thickness, double camber) {
        return py::bytes(Released([&] { return ExportSvg(foil, size(thickness, camber)); }));
      },
      py::arg("foil"), py::arg("thickness"), py::arg("camber"));
  m.def(
      "fewest_control_points",
      [](const Section& section, double tolerance, const std::string& measure, const std::string& placement,
         int max_control_points) {
        if (measure != "rms" && measure != "max_deviation")
          throw py::value_error("measure is 'rms' or 'max_deviation'");
        const CountOptions options{tolerance, measure == "rms" ? ErrorMeasure::Rms : ErrorMeasure::MaxDeviation,
                                   placement, max_control_points};
        CountChoice c = Released([&] { return FewestControlPoints(section, options); });
        return py::make_tuple(c.control_points, c.reached, std::move(c.fit));
      },
      py::arg("section"), py::arg("tolerance") = kFairnessLimit, py::arg("measure") = "rms",
      py::arg("placement") = std::string(PlacementMethods().front().name),
      py::arg("max_control_points") = kSearchedControlPoints,
      "(control_points, reached, fit): the fewest control points whose errors are within the "
      "tolerance.");
}
