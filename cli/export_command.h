// tarvelo-export: a fitted section (.FOI) evaluated as a table, or its
// outline at a given thickness and camber for panel codes and CAD.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/batch.h"

namespace tarvelo {

// Exit status: 0 when the output was written, 1 when the .FOI could not be
// read or is malformed or the output file could not be written, 2 for a
// usage error or an output file that is the .FOI itself.
// With `terminal`, control characters in what is shown are written as ^X.
// With `display.terminal` (standard error is one), a line of progress when
// several files take more than a second.
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool terminal = false, const ProgressDisplay& display = {});

}  // namespace tarvelo
