// tarvelo-fit: the fitting run for batch work and scripts, without a window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/batch.h"

namespace tarvelo {

// Exit status: 0 when every file was fitted and written, 1 when a run failed,
// 2 for a usage error. With `terminal`, control characters in what is shown
// (an ID line, a file name) are written as ^X, so that a crafted file cannot
// send escape sequences to the terminal.
// With `display.terminal` (standard error is one), a line of progress when
// several files take more than a second.
int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool terminal = false, const ProgressDisplay& display = {});

}  // namespace tarvelo
