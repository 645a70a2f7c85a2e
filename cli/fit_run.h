// What tarvelo-fit does with one input: read or import it, fit it, make
// every file of it, and only then write them and show the fit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/fit_options.h"
#include "cli/fit_report.h"

namespace tarvelo {

class FitFileRun {
 public:
  FitFileRun(const FitCommandOptions& o, Batch& batch);

  // One file, as clicked in the file list and fitted with Start: its row of
  // the summary. Throws Error when the file fails; what fails in the making
  // (the data, the fit, an export the section cannot take) fails before
  // anything of the file is written.
  std::string operator()(const Input& input);

  // An input that failed: its JSON record and its row of the summary, which
  // name only what was written of it.
  std::string Failed(const Input& input, const FileFailure& failure);

 private:
  // The bytes of every file of one input, made before any is written.
  struct Files {
    std::string foil;
    std::vector<std::pair<std::string, std::string>> exports;  // name, bytes
    std::optional<std::string> svg;
  };

  FitOutcome Made(const Input& input, const std::string& output);
  void FitCounted(FitOutcome& made);
  void Misplaced(const FitOutcome& made);
  void Nose(const std::string& name, const NoseCheck& nose);
  Files FilesOf(const FitOutcome& made) const;
  void Write(const FitOutcome& made, const Files& files);
  void Show(const FitOutcome& made);
  std::string Row(const FitOutcome& made) const;
  void Note(const std::string& name, const std::string& text);

  const FitCommandOptions& o_;
  Batch& batch_;
  // What --json records already is not said again with --quiet.
  bool notes_;
  // The input being worked on: its points where read, its import's
  // warnings and what it has written so far, for the row of a failure.
  std::optional<std::size_t> points_;
  std::vector<std::string> warnings_;
  std::optional<std::string> wroteFoil_;
  std::vector<std::string> wroteExports_;
};

}  // namespace tarvelo
