#include "cli/fit_command.h"

#include <optional>

#include "cli/arguments.h"
#include "cli/fit_naming.h"
#include "cli/fit_options.h"
#include "cli/fit_run.h"
#include "cli/fit_summary.h"

namespace tarvelo {

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal,
                  const ProgressDisplay& display) {
  constexpr const char* kProgram = "tarvelo-fit";
  std::optional<FitCommandOptions> options;
  try {
    options = ParseFitCommand(args, out);
    if (!options) return 0;
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err, terminal);
  }
  Batch batch(kProgram, out, err, terminal, display);
  // Every name is known before anything is written: no output may replace
  // an input or another output.
  if (!batch.Prepare(FitPlan(*options), options->outputDir)) return 2;
  if (options->summary) batch.KeepSummary(*options->summary, SummaryHeader());
  FitFileRun run(*options, batch);
  return batch.Run(
      options->files, [&run](const Input& input) { return run(input); },
      [&run](const Input& input, const FileFailure& failure) { return run.Failed(input, failure); });
}

}  // namespace tarvelo
