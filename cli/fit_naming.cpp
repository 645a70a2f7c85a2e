#include "cli/fit_naming.h"

#include <tarvelo/window.h>

#include <filesystem>

#include "cli/batch.h"

namespace tarvelo {

bool WindowNamed(const FitCommandOptions& o) {
  return !o.out && !o.outputDir && !o.foilNumber && !o.coordinates;
}

std::string FoilOutputName(const FitCommandOptions& o, const std::string& input) {
  if (o.out) return *o.out;
  if (o.foilNumber) {
    const std::string directory = o.outputDir ? *o.outputDir : std::filesystem::path(input).parent_path().string();
    return FoilNumberFileName(DirectoryPrefix(directory), *o.foilNumber);
  }
  if (WindowNamed(o)) return FoilFileNameFor(input);
  return Beside(o.outputDir, input, Stem(input) + ".FOI");
}

std::string ExportName(const std::string& output, const ExportFormat& format) {
  return std::filesystem::path(output).replace_extension().string() + format.file_ending;
}

std::vector<Planned> FitPlan(const FitCommandOptions& o) {
  std::vector<Planned> plan;
  plan.reserve(o.files.size() + 1);
  for (const std::string& input : o.files) {
    const std::string output = FoilOutputName(o, input);
    Planned planned{input, {output}};
    if (o.svg) planned.outputs.push_back(*o.svg);
    for (const ExportFormat* f : o.exports) planned.outputs.push_back(ExportName(output, *f));
    plan.push_back(std::move(planned));
  }
  if (o.summary) plan.push_back({"the summary", {*o.summary}, false});
  return plan;
}

}  // namespace tarvelo
