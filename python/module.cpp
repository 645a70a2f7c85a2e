// The Python module tarvelo: the public API with numpy arrays for its
// vectors and tarvelo.Error (with the library's kind) for its failures. It
// adds no logic of its own, and lets go of the interpreter's lock while the
// library works, so that threads fit, read and write at once. Each subject
// registers its classes and functions from a file of its own.
#include "bindings.h"

PYBIND11_MODULE(tarvelo, m) {
  using namespace tarvelo::python;
  m.doc() = "Fits cubic B-splines to the thickness and camber of foil sections (TARVELO).";
  RegisterErrors(m);
  RegisterSections(m);
  RegisterFitting(m);
  RegisterFoilSplines(m);
  RegisterExports(m);
  RegisterNaca(m);
  RegisterBlade(m);
}
