// Stored sections: the .FOI file of a fit written and read, the spline it
// holds evaluated at any chord position, its outline at a size and the
// properties of that outline.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <optional>
#include <vector>

#include "bindings.h"

namespace tarvelo::python {

namespace {

// The size an outline is drawn at: the given thickness and camber, or the
// section's own size when the spline knows it and neither is given.
OutlineSize SizeOf(const FoilSpline& foil, const std::optional<double>& thickness,
                   const std::optional<double>& camber) {
  if (thickness && camber) return {*thickness, *camber};
  if (foil.own_size && !thickness && !camber) return *foil.own_size;
  Refuse(foil.own_size ? "give both thickness and camber, or neither for the section's own size"
                       : "a FoilSpline read from a .FOI knows no size of its own: give thickness and camber "
                         "(fractions of the chord)");
}

// Thickness and camber at every x of an array, in an array of its shape each.
py::tuple EvaluateArray(const FoilSpline& foil, const py::object& x, const OutlineSize& size) {
  const DoubleArray in = Numbers(x, "x");
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

// Thickness and camber of the same shape as x: floats for a float, arrays for
// an array or a sequence. With `scaled`, in fractions of the chord: the
// section's own size when the spline knows it, else the given thickness and
// camber.
py::tuple Evaluate(const FoilSpline& foil, const py::object& x, bool scaled, const std::optional<double>& thickness,
                   const std::optional<double>& camber) {
  if (!scaled && (thickness || camber)) Refuse("thickness and camber are for scaled=True");
  const OutlineSize size = scaled ? SizeOf(foil, thickness, camber) : OutlineSize{1, 1};
  if (py::isinstance<py::array>(x) || py::isinstance<py::sequence>(x)) return EvaluateArray(foil, x, size);
  if (!py::isinstance<py::float_>(x) && !py::isinstance<py::int_>(x) && !py::hasattr(x, "__float__"))
    throw py::type_error("x must be a float or an array of floats");
  const FoilSpline::Value v = foil.Evaluate(x.cast<double>());
  return py::make_tuple(size.thickness * v.thickness, size.camber * v.camber);
}

// The figures of PropertyFields, keyed as the JSON export keys them.
py::dict Properties(const FoilSpline& foil, std::optional<double> thickness, std::optional<double> camber,
                    std::optional<double> te_thickness) {
  const OutlineSize size = SizeOf(foil, thickness, camber);
  const OutlineProperties p = Released([&] { return SectionProperties(foil, size, te_thickness); });
  py::dict figures;
  for (const PropertyField& f : PropertyFields()) figures[f.key] = p.*f.value;
  return figures;
}

py::tuple FoilState(const FoilSpline& f) {
  py::object own = py::none();
  if (f.own_size) own = py::make_tuple(f.own_size->thickness, f.own_size->camber);
  return py::make_tuple(py::bytes(f.id_line), f.order, Array(f.control_x), Array(f.thickness), Array(f.camber), own);
}

FoilSpline FoilFromState(const py::tuple& t) {
  std::optional<OutlineSize> own;
  if (!t[5].is_none()) {
    const auto size = t[5].cast<py::tuple>();
    if (py::len(size) != 2) NotAState("tarvelo.FoilSpline");
    own = OutlineSize{size[0].cast<double>(), size[1].cast<double>()};
  }
  return FoilSpline{t[0].cast<std::string>(), t[1].cast<int>(),           Vector(t[2], "control_x"),
                    Vector(t[3], "thickness"), Vector(t[4], "camber"), own};
}

std::string FoilRepr(const FoilSpline& f) {
  return "<tarvelo.FoilSpline " + std::string(py::repr(Text(f.id_line))) + ", " + std::to_string(f.control_x.size()) +
         " control points" +
         (f.own_size ? ", own size t/c " + Short(f.own_size->thickness) + " f/c " + Short(f.own_size->camber)
                     : std::string()) +
         ">";
}

void FoilSplineClass(py::module_& m) {
  py::class_<FoilSpline>(m, "FoilSpline", "A fitted section as its .FOI file holds it.")
      .def_property_readonly("id_line", [](const FoilSpline& f) { return Text(f.id_line); })
      .def_readonly("order", &FoilSpline::order)
      .def_property_readonly("control_x", [](const FoilSpline& f) { return Array(f.control_x); })
      .def_property_readonly("thickness", [](const FoilSpline& f) { return Array(f.thickness); })
      .def_property_readonly("camber", [](const FoilSpline& f) { return Array(f.camber); })
      .def_property_readonly("own_size", [](const FoilSpline& f) -> py::object {
        if (!f.own_size) return py::none();
        return py::make_tuple(f.own_size->thickness, f.own_size->camber);
      })
      .def_property_readonly("has_camber", &HasCamber,
                             "False for a section without camber, which is drawn with a camber of 0 alone")
      .def("evaluate", &Evaluate, py::arg("x"), py::arg("scaled") = false, py::arg("thickness") = py::none(),
           py::arg("camber") = py::none(),
           "(thickness, camber) at chord position x in [0, 1], x a float or an array: normalised, or with "
           "scaled=True in fractions of the chord, at the section's own size (a FoilSpline of a Fit) or at "
           "thickness and camber (as tarvelo-export's --thickness and --camber).")
      .def("properties", &Properties, py::arg("thickness") = py::none(), py::arg("camber") = py::none(),
           py::arg("te_thickness") = py::none(),
           "The section properties of the outline at largest thickness and camber (fractions of "
           "the chord; neither for the section's own size, which a FoilSpline of a Fit knows), its "
           "trailing edge te_thickness thick if given: a dict in the order of PropertyFields "
           "(max_thickness ... ixy).")
      .def("__repr__", &FoilRepr)
      .def(py::pickle(&FoilState, Unpickling<FoilSpline>("tarvelo.FoilSpline", 6, &FoilFromState)))
      .def("__reduce_ex__", &ReduceEx);
}

void OutlineSplineClass(py::module_& m) {
  py::class_<OutlineSpline>(m, "OutlineSpline",
                            "Both surfaces of a section at a size: cubic B-splines on one knot vector.")
      .def_property_readonly("knots", [](const OutlineSpline& o) { return Array(o.knots); })
      .def_property_readonly("x", [](const OutlineSpline& o) { return Array(o.x); })
      .def_property_readonly("upper", [](const OutlineSpline& o) { return Array(o.upper); })
      .def_property_readonly("lower", [](const OutlineSpline& o) { return Array(o.lower); })
      .def(py::pickle(
          [](const OutlineSpline& o) { return py::make_tuple(Array(o.knots), Array(o.x), Array(o.upper), Array(o.lower)); },
          Unpickling<OutlineSpline>("tarvelo.OutlineSpline", 4, [](const py::tuple& t) {
            return OutlineSpline{Vector(t[0], "knots"), Vector(t[1], "x"), Vector(t[2], "upper"),
                                 Vector(t[3], "lower")};
          })))
      .def("__reduce_ex__", &ReduceEx);
}

}  // namespace

void RegisterFoilSplines(py::module_& m) {
  FoilSplineClass(m);
  OutlineSplineClass(m);
  m.def("write_foil_file", &WriteFoilFile, py::arg("path"), py::arg("fit"), Unlocked(),
        "Writes the .FOI file of a fit, replacing an earlier file only when complete.");
  m.def("read_foil_file", &ReadFoilFile, py::arg("path"), Unlocked(), "Reads a .FOI file.");
  m.def(
      "section_outline",
      [](const FoilSpline& foil, double thickness, double camber, std::optional<double> te_thickness) {
        return SectionOutline(foil, {thickness, camber}, te_thickness);
      },
      py::arg("foil"), py::arg("thickness"), py::arg("camber"), py::arg("te_thickness") = py::none(), Unlocked(),
      "The outline with largest thickness and camber (fractions of the chord), its trailing edge "
      "te_thickness thick if given.");
  m.def("cosine_stations", &CosineStations, py::arg("count"), Unlocked(),
        "count chord positions from 0 to 1, closer together towards both edges.");
}

}  // namespace tarvelo::python
