// What every command-line program does around its command: standard output
// that tells when it could not be written, and no temporary file left behind
// when the program is interrupted.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tarvelo {

using Command = std::function<int(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err)>;

// Runs the command on the program's arguments. When standard output could not
// be written (a full disk, a closed pipe), says "<program>: standard output:
// <reason>" on standard error and ends with status 1 instead of success.
int RunProgram(const char* program, int argc, char** argv, const Command& command);

}  // namespace tarvelo
