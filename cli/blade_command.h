// tarvelo-blade: a propeller blade from a radial table and a fitted section,
// as CAD solids (STEP, IGES, STL), the sections' points and pictures.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarvelo {

// Exit status: 0 when every file was written, 1 when the table, the section
// or a file failed (nothing is written then), 2 for a usage error.
int RunBladeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
