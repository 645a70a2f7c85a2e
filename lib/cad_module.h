// The CAD module (cad/), found and loaded when a call makes a solid or a
// CAD file: in the build tree for a program built there, else where the
// installation put it beside the program or Python module that asks.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>

#include "cad/cad.h"

namespace tarvelo {

// The module's answer to the request. Throws Error (NotFound) "<where it was
// looked for>: the CAD module is not installed", Error (NotReadable) when it
// is there but does not load, and Error (BadData) about `subject` when Open
// CASCADE refuses the request.
cad::Result RunCad(const cad::Request& request, const std::string& subject);

cad::Unit CadUnit(LengthUnit unit);

}  // namespace tarvelo
