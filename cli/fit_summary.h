// tarvelo-fit --summary: a CSV file (RFC 4180) with a row for each input,
// its figures as --json writes them, digit for digit.
#pragma once

#include <tarvelo/tarvelo.h>

#include <optional>
#include <string>
#include <vector>

namespace tarvelo {

// What the row of one input says: what its run wrote, its fit where there
// is one, or why it failed.
struct SummaryRow {
  std::string file;
  std::string output;  // the .FOI written; empty where none was
  std::optional<Fit> fit;
  std::optional<OutlineDeviation> outline;
  std::optional<bool> reached;
  std::vector<std::string> warnings;
  std::string error;
};

// The first line: the names of the columns.
std::string SummaryHeader();

// The line of one input; `tolerance` as the command line gave it, empty
// without --auto.
std::string SummaryLine(const SummaryRow& row, const std::string& tolerance);

}  // namespace tarvelo
