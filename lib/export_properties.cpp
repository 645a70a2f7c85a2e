// "properties": the section properties of the outline as one JSON object,
// a figure a line. Written here rather than through a JSON library, which
// the library would then impose on every program that links it: the object
// is flat, its keys are fixed, and std::to_chars gives each number the
// shortest text that reads back as the same double.
#include <tarvelo/tarvelo.h>

#include <cmath>

#include "lib/exports.h"
#include "lib/foil.h"

namespace tarvelo {

std::string WriteProperties(const FoilSpline& foil, const ExportOptions& options) {
  const OutlineProperties p = SectionProperties(foil, options.size);
  const std::vector<PropertyField>& fields = PropertyFields();
  std::string out = "{\n";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const double v = p.*fields[i].value;
    // JSON has no infinity: a leading edge with a thickness has no radius.
    out += "  \"" + std::string(fields[i].key) + "\": " + (std::isfinite(v) ? ShortestText(v) : "null") +
           (i + 1 < fields.size() ? ",\n" : "\n");
  }
  return out + "}\n";
}

}  // namespace tarvelo
