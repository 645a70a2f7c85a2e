// The table of placements. A new placement is a file with its function and
// a row here, the function declared beside its row.
#include <tarvelo/tarvelo.h>

#include "lib/placement.h"

namespace tarvelo {

Placed PlaceAsTheWindow(int nv, const Array1<double>& tk, std::span<const double> x);
Placed PlaceExactly(int nv, const Array1<double>& tk, std::span<const double> x);

const std::vector<PlacementRow>& PlacementRows() {
  static const std::vector<PlacementRow> rows = {
      {{"window",
        "the window's search: every number as the window gives it, but data near the leading edge "
        "fitted off their chord position"},
       PlaceAsTheWindow},
      {{"exact", "each data point at its own chord position, to full precision"}, PlaceExactly},
#ifdef TARVELO_MORE_PLACEMENTS
      // Rows a build adds without touching these: the tests add a long-named one.
#include TARVELO_MORE_PLACEMENTS
#endif
  };
  return rows;
}

const std::vector<PlacementMethod>& PlacementMethods() {
  static const std::vector<PlacementMethod> methods = [] {
    std::vector<PlacementMethod> out;
    for (const PlacementRow& row : PlacementRows()) out.push_back(row.method);
    return out;
  }();
  return methods;
}

const PlacementRow& FindPlacementRow(std::string_view name) {
  std::string names;
  const std::vector<PlacementRow>& rows = PlacementRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (name == rows[i].method.name) return rows[i];
    names += (i == 0 ? "" : i + 1 == rows.size() ? " or " : ", ") + std::string(rows[i].method.name);
  }
  throw Error(ErrorKind::Usage, "unknown placement '" + std::string(name) + "': use " + names);
}

const PlacementMethod& FindPlacement(std::string_view name) {
  const PlacementRow& row = FindPlacementRow(name);
  return PlacementMethods()[static_cast<std::size_t>(&row - PlacementRows().data())];
}

}  // namespace tarvelo
