// One translation of the library's failures: tarvelo.Error, with the kind of
// failure as its attribute `kind` ("not_found", "bad_data", ...) for scripts
// to test. An argument refused (kind "usage") is also a ValueError, as Python
// code expects of a bad value: tarvelo.UsageError.
#include "bindings.h"

#include <exception>

namespace tarvelo::python {

void Refuse(const std::string& reason) { throw Error(ErrorKind::Usage, reason); }

void RegisterErrors(py::module_& m) {
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
}

}  // namespace tarvelo::python
