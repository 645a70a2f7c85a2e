// Conversions between the library's data and Python's: numbers from any
// array-like, points, 8-bit texts, and the states pickling keeps.
#include <cstdio>

#include "bindings.h"

namespace tarvelo::python {

namespace {

bool IsNumeric(const py::array& a) {
  const char kind = a.dtype().kind();
  return kind == 'f' || kind == 'i' || kind == 'u' || kind == 'b';
}

// A masked array's data when none of its values is masked: its mask would
// otherwise be dropped without a word and the hidden values used.
py::object Unmasked(const py::object& values, const char* what) {
  const py::module_ ma = py::module_::import("numpy.ma");
  if (!py::isinstance(values, ma.attr("MaskedArray"))) return values;
  if (ma.attr("is_masked")(values).cast<bool>())
    Refuse(std::string(what) + " has masked values: fill them (numpy.ma.filled) or leave them out");
  return ma.attr("getdata")(values);
}

}  // namespace

DoubleArray Numbers(const py::object& values, const char* what) {
  if (py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values))
    throw py::type_error(std::string(what) + " must be numbers, not text");
  const py::array raw = py::array::ensure(Unmasked(values, what));
  if (!raw || !IsNumeric(raw)) throw py::type_error(std::string(what) + " must be numbers");
  return DoubleArray::ensure(raw);
}

std::vector<double> Vector(const py::object& values, const char* what) {
  const DoubleArray a = Numbers(values, what);
  if (a.ndim() != 1) Refuse(std::string(what) + " must be one-dimensional");
  return std::vector<double>(a.data(), a.data() + a.size());
}

py::array_t<double> PointArray(const std::vector<CoordinatePoint>& points) {
  py::array_t<double> a({static_cast<py::ssize_t>(points.size()), py::ssize_t{2}});
  double* out = a.mutable_data();
  for (const CoordinatePoint& p : points) *out++ = p.x, *out++ = p.y;
  return a;
}

std::vector<CoordinatePoint> Points(const py::object& values, const char* what) {
  const DoubleArray a = Numbers(values, what);
  if (a.ndim() != 2 || a.shape(1) != 2) Refuse(std::string(what) + " must be an array of shape (n, 2)");
  std::vector<CoordinatePoint> points;
  points.reserve(static_cast<std::size_t>(a.shape(0)));
  for (py::ssize_t i = 0; i < a.shape(0); ++i) points.push_back({a.at(i, 0), a.at(i, 1)});
  return points;
}

std::string Short(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return text;
}

py::str Text(const std::string& bytes) { return py::str(TextAsUtf8(bytes)); }

py::object ReduceEx(const py::object& self, int protocol) {
  const py::object object = py::module_::import("builtins").attr("object");
  return object.attr("__reduce_ex__")(self, protocol < 2 ? 2 : protocol);
}

void NotAState(const char* type) { Refuse(std::string("not the pickled state of a ") + type); }

std::vector<float> Floats(const py::object& values) {
  const auto a = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(values);
  if (!a || a.ndim() != 1) Refuse("not the single-precision values of a pickled state");
  return std::vector<float>(a.data(), a.data() + a.size());
}

}  // namespace tarvelo::python
