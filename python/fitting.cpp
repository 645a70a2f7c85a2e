// Fitting: a section with a given count of control points, or with the
// fewest within a tolerance by any of the programs' measures; and how far a
// fitted outline lies from the points it was imported from.
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <utility>

#include "bindings.h"

namespace tarvelo::python {

namespace {

// What fewest_control_points gives: the library's choice, and for a section
// imported from an outline the deviation of its fitted outline.
struct Choice {
  CountChoice choice;
  std::optional<OutlineDeviation> outline;
};

void CurveFitClass(py::module_& m) {
  py::class_<CurveFit>(m, "CurveFit", "One fitted curve: thickness or camber.")
      .def_readonly("ymax", &CurveFit::ymax)
      .def_readonly("rms", &CurveFit::rms)
      .def_readonly("max_deviation", &CurveFit::max_deviation)
      .def_readonly("max_deviation_x", &CurveFit::max_deviation_x)
      .def_readonly("between_deviation", &CurveFit::between_deviation)
      .def_readonly("between_deviation_x", &CurveFit::between_deviation_x)
      .def_property_readonly("control", [](const CurveFit& c) { return Array(c.control); })
      .def_property_readonly("fitted", [](const CurveFit& c) { return Array(c.fitted); })
      .def_property_readonly("difference", [](const CurveFit& c) { return Array(c.difference); })
      .def("__repr__", [](const CurveFit& c) {
        return "<tarvelo.CurveFit ymax " + Short(c.ymax) + ", rms " + Short(c.rms) + ", max_deviation " +
               Short(c.max_deviation) + " at x " + Short(c.max_deviation_x) + ">";
      })
      .def(py::pickle(
          [](const CurveFit& c) {
            return py::make_tuple(c.ymax, Array(c.control), c.rms, c.max_deviation, c.max_deviation_x,
                                  c.between_deviation, c.between_deviation_x, Array(c.fitted), Array(c.difference));
          },
          Unpickling<CurveFit>("tarvelo.CurveFit", 9, [](const py::tuple& t) {
            return CurveFit{t[0].cast<double>(), Vector(t[1], "control"), t[2].cast<double>(),
                            t[3].cast<double>(),  t[4].cast<double>(),     t[5].cast<double>(),
                            t[6].cast<double>(),  Vector(t[7], "fitted"),  Floats(t[8])};
          })))
      .def("__reduce_ex__", &ReduceEx);
}

py::tuple FitState(const Fit& f) {
  return py::make_tuple(py::bytes(f.id_line), f.control_points, f.order, f.placement, Array(f.knots),
                        Array(f.control_x), Array(f.x), f.misplaced_points, f.largest_misplacement, f.thickness,
                        f.camber);
}

Fit FitFromState(const py::tuple& t) {
  return Fit{t[0].cast<std::string>(), t[1].cast<int>(),           t[2].cast<int>(),
             t[3].cast<std::string>(), Vector(t[4], "knots"),       Vector(t[5], "control_x"),
             Vector(t[6], "x"),        t[7].cast<int>(),            t[8].cast<double>(),
             t[9].cast<CurveFit>(),    t[10].cast<CurveFit>()};
}

void FitClass(py::module_& m) {
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
      })
      .def(py::pickle(&FitState, Unpickling<Fit>("tarvelo.Fit", 11, &FitFromState)))
      .def("__reduce_ex__", &ReduceEx);
}

const char* SurfaceName(const OutlineDeviation& d) { return d.upper ? "upper" : "lower"; }

void OutlineDeviationClass(py::module_& m) {
  py::class_<OutlineDeviation>(m, "OutlineDeviation",
                               "The largest distance of a given outline point from its fitted surface, per "
                               "chord, and where: the point's chord position x and its surface.")
      .def_readonly("deviation", &OutlineDeviation::deviation)
      .def_readonly("x", &OutlineDeviation::x)
      .def_property_readonly("surface", &SurfaceName, "'upper' or 'lower'")
      .def_readonly("between", &OutlineDeviation::between)
      .def_readonly("between_x", &OutlineDeviation::between_x)
      .def_property_readonly(
          "between_surface", [](const OutlineDeviation& d) { return d.between_upper ? "upper" : "lower"; },
          "'upper' or 'lower'")
      .def("__repr__", [](const OutlineDeviation& d) {
        return "<tarvelo.OutlineDeviation " + Short(d.deviation) + " at x " + Short(d.x) + " on the " +
               SurfaceName(d) + " surface>";
      })
      .def(py::pickle(
          [](const OutlineDeviation& d) {
            return py::make_tuple(d.deviation, d.x, d.upper, d.between, d.between_x, d.between_upper);
          },
          Unpickling<OutlineDeviation>("tarvelo.OutlineDeviation", 6, [](const py::tuple& t) {
            return OutlineDeviation{t[0].cast<double>(), t[1].cast<double>(), t[2].cast<bool>(),
                                    t[3].cast<double>(), t[4].cast<double>(), t[5].cast<bool>()};
                      })))
      .def("__reduce_ex__", &ReduceEx);
}

// The earlier return value, (control_points, reached, fit), which a choice
// still unpacks to.
py::tuple Triple(const Choice& c) { return py::make_tuple(c.choice.control_points, c.choice.reached, c.choice.fit); }

void CountChoiceClass(py::module_& m) {
  py::class_<Choice>(m, "CountChoice",
                     "The fewest control points within a tolerance: control_points, reached, fit, and "
                     "outline_deviation for a section imported from an outline (else None). Unpacks as "
                     "(control_points, reached, fit).")
      .def_property_readonly("control_points", [](const Choice& c) { return c.choice.control_points; })
      .def_property_readonly("reached", [](const Choice& c) { return c.choice.reached; })
      .def_property_readonly("fit", [](const Choice& c) { return c.choice.fit; })
      .def_readonly("outline_deviation", &Choice::outline)
      .def_property_readonly("error", [](const Choice& c) { return c.choice.error; })
      .def_property_readonly("carried", [](const Choice& c) { return c.choice.carried; })
      .def("__len__", [](const Choice&) { return 3; })
      .def("__iter__", [](const Choice& c) { return py::iter(Triple(c)); })
      .def("__getitem__", [](const Choice& c, const py::object& at) { return py::object(Triple(c)[at]); })
      .def("__repr__", [](const Choice& c) {
        return "<tarvelo.CountChoice " + std::to_string(c.choice.control_points) + " control points, " +
               (c.choice.reached ? "reached" : "not reached") +
               (c.outline ? ", outline deviation " + Short(c.outline->deviation) : std::string()) + ">";
      })
      .def(py::pickle(
          [](const Choice& c) {
            return py::make_tuple(c.choice.control_points, c.choice.reached, c.choice.fit, c.outline, c.choice.error,
                                  c.choice.carried);
          },
          Unpickling<Choice>("tarvelo.CountChoice", 6, [](const py::tuple& t) {
            return Choice{{t[0].cast<int>(), t[1].cast<bool>(), t[2].cast<Fit>(), t[4].cast<double>(),
                           t[5].cast<bool>(), std::nullopt},
                          t[3].cast<std::optional<OutlineDeviation>>()};
          })))
      .def("__reduce_ex__", &ReduceEx);
}

ErrorMeasure MeasureNamed(const std::string& name) {
  if (name == "rms") return ErrorMeasure::Rms;
  if (name == "max_deviation") return ErrorMeasure::MaxDeviation;
  if (name == "outline") return ErrorMeasure::OutlineDeviation;
  Refuse("unknown measure '" + name + "': use rms, max_deviation or outline");
}

Choice FewestOf(const Section& section, double tolerance, const std::string& measure, const std::string& placement,
                int max_control_points) {
  const CountOptions options{tolerance, MeasureNamed(measure), placement, max_control_points};
  return Released([&] { return Choice{FewestControlPoints(section, options), std::nullopt}; });
}

Choice FewestOfImported(const ImportedSection& imported, double tolerance, const std::string& measure,
                        const std::string& placement, int max_control_points) {
  const CountOptions options{tolerance, MeasureNamed(measure), placement, max_control_points};
  return Released([&] {
    CountChoice choice = FewestControlPoints(imported, options);
    const OutlineDeviation outline = OutlineDeviationOf(choice.fit, imported);
    return Choice{std::move(choice), outline};
  });
}

void FitFunctions(py::module_& m) {
  m.def(
      "fit_section",
      [](const Section& section, int control_points, const std::string& placement) {
        return FitSection(section, FitOptions{control_points, placement});
      },
      py::arg("section"), py::arg("control_points") = 8, py::arg("placement") = std::string(kDefaultPlacement),
      Unlocked(),
      "Fits thickness and camber with 4 to 80 control points; placement 'window' (every number as "
      "the window gives it) or 'exact' (each data point at its own chord position).");
  const char* fewest =
      "The fewest control points from 4 to max_control_points whose worse curve's error is within the "
      "tolerance (a positive number, per chord), else the count of the smallest error: a CountChoice. "
      "measure 'rms' (as tarvelo-fit --auto), 'max_deviation' (--auto-max) or, for an ImportedSection, "
      "'outline' (--auto-outline): the fitted outline's distance from the given points.";
  m.def("fewest_control_points", &FewestOf, py::arg("section"), py::arg("tolerance") = kFairnessLimit,
        py::arg("measure") = "rms", py::arg("placement") = std::string(kDefaultPlacement),
        py::arg("max_control_points") = kSearchedControlPoints, fewest);
  m.def("fewest_control_points", &FewestOfImported, py::arg("section"), py::arg("tolerance") = kFairnessLimit,
        py::arg("measure") = "rms", py::arg("placement") = std::string(kDefaultPlacement),
        py::arg("max_control_points") = kSearchedControlPoints, fewest);
  m.def("outline_deviation", &OutlineDeviationOf, py::arg("fit"), py::arg("imported"), Unlocked(),
        "How far the fitted outline at the section's own size lies from the points of the outline "
        "it was imported from: an OutlineDeviation.");
}

}  // namespace

void RegisterFitting(py::module_& m) {
  CurveFitClass(m);
  FitClass(m);
  OutlineDeviationClass(m);
  CountChoiceClass(m);
  FitFunctions(m);
}

}  // namespace tarvelo::python
