#include "cli/fit_summary.h"

#include <nlohmann/json.hpp>

namespace tarvelo {

namespace {

// A field of a CSV row: quoted where it holds a comma, a quote or a line
// end, its quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

// A number as --json writes it: the shortest text that reads back the same.
std::string CsvNumber(double v) { return nlohmann::json(v).dump(); }

// The figures of a fit, from control_points to camber_scale.
std::vector<std::string> FitFields(const SummaryRow& r, const std::string& tolerance) {
  const Fit& fit = *r.fit;
  const OutlineSize own = OwnSize(fit);
  return {std::to_string(fit.control_points), fit.placement,
          CsvNumber(fit.thickness.rms), CsvNumber(fit.thickness.max_deviation),
          CsvNumber(fit.camber.rms), CsvNumber(fit.camber.max_deviation),
          r.outline ? CsvNumber(r.outline->deviation) : "", tolerance,
          r.reached ? (*r.reached ? "yes" : "no") : "",
          CsvNumber(own.thickness), CsvNumber(own.camber)};
}

constexpr std::size_t kFitFields = 11;

}  // namespace

std::string SummaryHeader() {
  return "file,output,control_points,placement,thickness_rms,thickness_max_deviation,camber_rms,"
         "camber_max_deviation,outline_deviation,tolerance,reached,thickness_scale,camber_scale,warnings,"
         "error\n";
}

std::string SummaryLine(const SummaryRow& row, const std::string& tolerance) {
  std::vector<std::string> f{CsvField(row.file), CsvField(row.output)};
  if (row.fit) {
    const std::vector<std::string> figures = FitFields(row, tolerance);
    f.insert(f.end(), figures.begin(), figures.end());
  } else {
    f.insert(f.end(), kFitFields, "");
  }
  std::string warnings;
  for (const std::string& w : row.warnings) warnings += (warnings.empty() ? "" : "; ") + w;
  f.push_back(CsvField(warnings));
  f.push_back(CsvField(row.error));
  std::string line;
  for (std::size_t i = 0; i < f.size(); ++i) line += (i ? "," : "") + f[i];
  return line + '\n';
}

}  // namespace tarvelo
