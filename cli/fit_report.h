// tarvelo-fit --json: one JSON object a line for each input, the figures of
// its fit or why it failed. Every number reads back as the same double.
#pragma once

#include <tarvelo/tarvelo.h>

#include <optional>
#include <string>
#include <vector>

namespace tarvelo {

// What was made of one input that was fitted.
struct FitOutcome {
  std::string name;    // the input as messages name it
  std::string output;  // the .FOI written ("-": standard output)
  Section section;
  std::optional<ImportedSection> imported;
  Fit fit;
  std::optional<bool> reached;  // with --auto: whether the tolerance was
  std::optional<NoseCheck> nose;  // of an imported outline
};

// The line of a fitted input; `exports` are the exports written.
std::string FitRecord(const FitOutcome& outcome, const std::vector<std::string>& exports);

// The line of an input that failed: file, error, error_kind, and where some
// of its outputs were written before the failure, those: output (the .FOI)
// and exports.
std::string FailureRecord(const std::string& name, const std::string& message, ErrorKind kind,
                          const std::optional<std::string>& output, const std::vector<std::string>& exports);

}  // namespace tarvelo
