// "properties": the section properties of the outline as one JSON object,
// a figure a line, at the chord length asked for. Written here rather than through a JSON library, which
// the library would then impose on every program that links it: the object
// is flat, its keys are fixed, and std::to_chars gives each number the
// shortest text that reads back as the same double.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <string_view>

#include "lib/foil.h"

namespace tarvelo {

namespace {

// The power of the chord length a figure scales with: lengths 1, the area
// 2, second moments 4, the angle 0.
int ChordPower(const std::string_view key) {
  if (key == "te_angle_deg") return 0;
  if (key == "area") return 2;
  if (key == "ixx" || key == "iyy" || key == "ixy") return 4;
  return 1;
}

}  // namespace

std::string WriteProperties(const FoilSpline& foil, const ExportOptions& options) {
  const OutlineProperties p = SectionProperties(foil, options.size);
  const double chord = DrawnChord(options);
  const std::vector<PropertyField>& fields = PropertyFields();
  std::string out = "{\n";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const double v = p.*fields[i].value * std::pow(chord, ChordPower(fields[i].key));
    if (std::isnan(v) || (std::isinf(v) && std::isfinite(p.*fields[i].value)))
      throw BeyondDoubles("the section property " + std::string(fields[i].key) + " at a chord of " +
                          ShortestText(chord));
    // JSON has no infinity: a leading edge with a thickness has no radius.
    out += "  \"" + std::string(fields[i].key) + "\": " + (std::isfinite(v) ? ShortestText(v) : "null") +
           (i + 1 < fields.size() ? ",\n" : "\n");
  }
  return out + "}\n";
}

}  // namespace tarvelo
