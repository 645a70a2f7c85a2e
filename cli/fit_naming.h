// The names of everything tarvelo-fit writes for an input: its .FOI, the
// exports beside it and the graphic, planned before anything is written.
#pragma once

#include <string>
#include <vector>

#include "cli/clash.h"
#include "cli/fit_options.h"

namespace tarvelo {

// A section data file's .FOI is named by the window's rule unless the run
// names it otherwise: any other input is named from its stem.
bool WindowNamed(const FitCommandOptions& o);

// The .FOI of an input: as the window names it (from the file list's choice
// or the foil number, in the directory of the input), or as -o or
// --output-dir say.
std::string FoilOutputName(const FitCommandOptions& o, const std::string& input);

// An export's file beside the .FOI: the .FOI's name without its extension,
// and the format's ending.
std::string ExportName(const std::string& output, const ExportFormat& format);

// Every file the run will write, input by input, and the summary: for the
// check that no two of them, nor any with an input, are one file.
std::vector<Planned> FitPlan(const FitCommandOptions& o);

}  // namespace tarvelo
