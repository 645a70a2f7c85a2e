// tarvelo-fit's command line: its options, read and checked as a whole
// before any file is read, and its help.
#pragma once

#include <tarvelo/tarvelo.h>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvelo {

// The cosine-spaced stations a count by the outline adds to those of the
// file's points: enough for every knot span of 80 control points.
inline constexpr int kEveryPointCosineStations = 161;

struct FitCommandOptions {
  int count = 8;
  bool countGiven = false;
  std::string placement = kDefaultPlacement;
  int mostControlPoints = kSearchedControlPoints;
  bool mostGiven = false;
  std::optional<ErrorMeasure> autoMeasure;
  std::vector<const ExportFormat*> exports;
  double chord = 0;
  LengthUnit units = LengthUnit::None;
  std::optional<double> teThickness;
  Layoff layoff = Layoff::Vertical;
  std::string toleranceText;  // as the summary writes it back
  double tolerance = kFairnessLimit;
  std::optional<std::string> out;
  std::optional<std::string> foilNumber;
  std::optional<std::string> svg;
  bool screens = false;
  bool json = false;
  bool coordinates = false;
  ImportOptions import;
  bool stationsGiven = false;
  std::optional<std::string> outputDir;
  bool quiet = false;
  std::optional<std::string> summary;
  std::vector<std::string> files;
};

// The options, or nullopt after --help or --version, answered on `out`.
// Throws UsageError for a command line that is not understood, and for a
// value out of range, before any file is read.
std::optional<FitCommandOptions> ParseFitCommand(const std::vector<std::string>& args, std::ostream& out);

// The help; the placements and export formats come from the library's tables.
std::string FitHelp();

}  // namespace tarvelo
