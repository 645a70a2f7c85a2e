// tarvelo-naca: a NACA section from its published formulas, as the section
// data file that the window and tarvelo-fit read.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarvelo {

// Exit status: 0 when the section data were written, 1 when the output could
// not be written, 2 for a usage error or a designation or option refused.
int RunNacaCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
