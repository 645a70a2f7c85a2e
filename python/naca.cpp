// NACA sections from their published formulas.
#include <pybind11/stl.h>

#include <optional>
#include <string>

#include "bindings.h"

namespace tarvelo::python {

void RegisterNaca(py::module_& m) {
  m.def(
      "naca_section",
      [](const std::string& designation, int stations, bool table_stations, bool closed_te,
         std::optional<double> mean_line_a, int decimals) {
        return NacaSection(designation, NacaOptions{stations, table_stations, closed_te, mean_line_a, decimals});
      },
      py::arg("designation"), py::arg("stations") = 41, py::arg("table_stations") = false,
      py::arg("closed_te") = false, py::arg("mean_line_a") = py::none(), py::arg("decimals") = 6, Unlocked(),
      "A NACA section from its published formulas: four digits ('2412'), five ('23012', mean "
      "lines 210 to 250) or 16-series ('16-206', with mean_line_a, default 1).");
}

}  // namespace tarvelo::python
