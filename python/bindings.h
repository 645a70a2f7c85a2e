// What the files of the Python module share: the conversions between the
// library's vectors and numpy arrays, the texts of 8-bit names, the states
// that pickling keeps, and one registration function per subject.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <tarvelo/tarvelo.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tarvelo::python {

namespace py = pybind11;

// Released around a library call; what it takes and returns is C++ data.
using Unlocked = py::call_guard<py::gil_scoped_release>;

// f() without the interpreter's lock, its result then made a Python object.
template <class F>
auto Released(F&& f) {
  py::gil_scoped_release unlocked;
  return f();
}

// An argument the binding refuses, as the library refuses one: a
// tarvelo.UsageError, which is also a ValueError.
[[noreturn]] void Refuse(const std::string& reason);

template <class T>
py::array_t<T> Array(const std::vector<T>& v) {
  return py::array_t<T>(static_cast<py::ssize_t>(v.size()), v.data());
}

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// Numbers as an array of doubles: TypeError for anything that is not numbers
// (strings included, which numpy would read as numbers); a masked array is
// taken only when none of its values is masked.
DoubleArray Numbers(const py::object& values, const char* what);

// Numbers() of one dimension, as a vector.
std::vector<double> Vector(const py::object& values, const char* what);

// Points as an array of shape (n, 2): x, y; and back.
py::array_t<double> PointArray(const std::vector<CoordinatePoint>& points);
std::vector<CoordinatePoint> Points(const py::object& values, const char* what);

// Short numbers for a repr: four significant digits.
std::string Short(double v);

// File texts are 8-bit: shown as the library shows them (TextAsUtf8).
py::str Text(const std::string& bytes);

// object.__reduce_ex__ of at least protocol 2, which pickles __getstate__'s
// state with any protocol: protocols 0 and 1 would otherwise build the object
// through its base class, which a class of C++ data cannot take.
py::object ReduceEx(const py::object& self, int protocol);

// UsageError "not the pickled state of a <type>".
[[noreturn]] void NotAState(const char* type);

// The __setstate__ of a class: make(state) of a tuple of `fields` items, as
// its __getstate__ gives them; NotAState for any other.
template <class T, class F>
auto Unpickling(const char* type, std::size_t fields, F make) {
  return [=](const py::tuple& state) -> T {
    if (py::len(state) != fields) NotAState(type);
    try {
      return make(state);
    } catch (const py::cast_error&) {
      NotAState(type);
    }
  };
}

// The single-precision values a pickled state holds, as they were.
std::vector<float> Floats(const py::object& values);

void RegisterErrors(py::module_& m);
void RegisterSections(py::module_& m);
void RegisterFitting(py::module_& m);
void RegisterFoilSplines(py::module_& m);
void RegisterExports(py::module_& m);
void RegisterNaca(py::module_& m);
void RegisterBlade(py::module_& m);

}  // namespace tarvelo::python
