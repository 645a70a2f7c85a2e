#include "cli/fit_report.h"

#include <nlohmann/json.hpp>

namespace tarvelo {

namespace {

using Json = nlohmann::ordered_json;

Json CurveRecord(const CurveFit& curve) {
  Json j;
  j["ymax"] = curve.ymax;
  j["rms"] = curve.rms;
  j["max_deviation"] = curve.max_deviation;
  j["max_deviation_x"] = curve.max_deviation_x;
  j["between_deviation"] = curve.between_deviation;
  j["between_deviation_x"] = curve.between_deviation_x;
  j["control"] = curve.control;
  return j;
}

Json ImportRecord(const ImportedSection& imported) {
  Json j;
  j["frame"] = ImportFrameName(imported.transform.frame);
  j["scale"] = imported.transform.scale;
  j["angle_deg"] = imported.transform.angle_deg;
  j["shift"] = {imported.transform.shift.x, imported.transform.shift.y};
  j["warnings"] = imported.warnings;
  j["le_radius"] = imported.le_radius;
  return j;
}

const char* Surface(bool upper) { return upper ? "upper" : "lower"; }

Json NoseRecord(const NoseCheck& nose) {
  Json j;
  j["le_radius"] = nose.le_radius;
  j["data_le_radius"] = nose.data_le_radius;
  j["added_inflections"] = Json::array();
  for (const CurvatureChange& c : nose.added) j["added_inflections"].push_back({{"x", c.x}, {"surface", Surface(c.upper)}});
  j["between_deviation"] = nose.between;
  j["between_deviation_x"] = nose.between_x;
  j["between_deviation_surface"] = Surface(nose.between_upper);
  return j;
}

// At the section's own size, as --export properties writes them; a section
// thicker than its chord has no outline to measure.
Json PropertiesRecord(const Fit& fit) {
  try {
    const OutlineProperties p = SectionProperties(FoilSplineOf(fit), OwnSize(fit));
    Json j = Json::object();
    for (const PropertyField& f : PropertyFields()) j[f.key] = p.*f.value;
    return j;
  } catch (const Error&) {
    return nullptr;
  }
}

Json Names(const std::vector<std::string>& names) {
  Json j = Json::array();
  for (const std::string& name : names) j.push_back(TextAsUtf8(name));
  return j;
}

}  // namespace

std::string FitRecord(const FitOutcome& outcome, const std::vector<std::string>& exports) {
  const Fit& fit = outcome.fit;
  Json j;
  j["file"] = TextAsUtf8(outcome.name);
  j["output"] = TextAsUtf8(outcome.output);
  j["id_line"] = TextAsUtf8(fit.id_line);
  j["points"] = outcome.section.points();
  j["control_points"] = fit.control_points;
  j["placement"] = fit.placement;
  j["misplaced_points"] = fit.misplaced_points;
  j["largest_misplacement"] = fit.largest_misplacement;
  j["knots"] = fit.knots;
  j["control_x"] = fit.control_x;
  j["thickness"] = CurveRecord(fit.thickness);
  j["camber"] = CurveRecord(fit.camber);
  if (outcome.imported) {
    j["import"] = ImportRecord(*outcome.imported);
    const OutlineDeviation d = OutlineDeviationOf(fit, *outcome.imported);
    j["outline_deviation"] = d.deviation;
    j["outline_deviation_x"] = d.x;
    j["outline_deviation_surface"] = Surface(d.upper);
    j["outline_between_deviation"] = d.between;
    j["outline_between_deviation_x"] = d.between_x;
    j["outline_between_deviation_surface"] = Surface(d.between_upper);
    if (outcome.nose) j["nose"] = NoseRecord(*outcome.nose);
  }
  j["properties"] = PropertiesRecord(fit);
  if (outcome.reached) j["reached"] = *outcome.reached;
  if (!exports.empty()) j["exports"] = Names(exports);
  return j.dump() + '\n';
}

std::string FailureRecord(const std::string& name, const std::string& message, ErrorKind kind,
                          const std::optional<std::string>& output, const std::vector<std::string>& exports) {
  Json j;
  j["file"] = TextAsUtf8(name);
  j["error"] = TextAsUtf8(message);
  j["error_kind"] = ErrorKindName(kind);
  if (output) {
    j["output"] = TextAsUtf8(*output);
    j["exports"] = Names(exports);
  }
  return j.dump() + '\n';
}

}  // namespace tarvelo
