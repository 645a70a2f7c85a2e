// tarvelo-import: a coordinate file of a section's outline made into the
// section data file that the window and tarvelo-fit read.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/batch.h"

namespace tarvelo {

// Exit status: 0 when the section data were written, 1 when the file was
// refused or the output could not be written, 2 for a usage error.
// With `terminal`, control characters in what is shown are written as ^X.
// With `display.terminal` (standard error is one), a line of progress when
// several files take more than a second.
int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool terminal = false, const ProgressDisplay& display = {});

}  // namespace tarvelo
