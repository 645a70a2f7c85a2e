// tarvelo-fit: the fitting run for batch work and scripts, without a window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarvelo {

// Exit status: 0 when every file was fitted and written, 1 when a run failed,
// 2 for a usage error.
int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
