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
      "lines 210 to 250), 16-series ('16-206', with mean_line_a, default 1), 6A-series ('65A210') or "
      "the modified 66 of propellers ('66mod-212', a=0.8 (modified) mean line unless mean_line_a).");
  m.def(
      "naca_coordinates",
      [](const std::string& designation, int stations, bool table_stations, bool closed_te,
         std::optional<double> mean_line_a) {
        SectionCoordinates c;
        {
          py::gil_scoped_release unlocked;
          c = NacaCoordinates(designation, NacaOptions{stations, table_stations, closed_te, mean_line_a, 6});
        }
        const auto points = [](const std::vector<double>& x, const std::vector<double>& y) {
          std::vector<CoordinatePoint> p;
          for (std::size_t i = 0; i < x.size(); ++i) p.push_back({x[i], y[i]});
          return PointArray(p);
        };
        py::dict d;
        d["name"] = c.name;
        d["upper"] = points(c.upper_x, c.upper_y);
        d["lower"] = points(c.lower_x, c.lower_y);
        return d;
      },
      py::arg("designation"), py::arg("stations") = 41, py::arg("table_stations") = false,
      py::arg("closed_te") = false, py::arg("mean_line_a") = py::none(),
      "The section's outline as published, the thickness laid off across the mean line: a dict of "
      "its name and the upper and lower surfaces, each an array (n, 2) of x, y from the leading "
      "edge to the trailing edge, as tarvelo-naca --format selig writes them.");
}

}  // namespace tarvelo::python
