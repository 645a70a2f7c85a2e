// What every command-line program does around its command: standard output
// that tells when it could not be written, and no temporary file left behind
// when the program is interrupted.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include <tarvelo/tarvelo.h>

namespace tarvelo {

using Command = std::function<int(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err)>;

// Runs the command on the program's arguments. When standard output could not
// be written (a full disk, a closed pipe), says "<program>: standard output:
// <reason>" on standard error and ends with status 1 instead of success.
int RunProgram(const char* program, int argc, char** argv, const Command& command);

// What tarvelo-import and tarvelo-export do with what they make of one input
// file: write it to `output` through the safe replacement, or to standard
// output. An output that is the input is refused (exit status 2: nothing is
// read or written); a failure is told on standard error (1); else 0.
// What an import did to the outline of `input`, on standard error: the
// transform of a normalised frame and each warning, a line each, after
// "<program>: <input>: ".
void ReportImport(const char* program, const std::string& input, const ImportedSection& imported,
                  std::ostream& err);

int WriteMade(const std::string& input, const std::optional<std::string>& output,
              const std::function<std::string()>& make, std::ostream& out, std::ostream& err);

// The same for what is made of no file: only the failure to make or write it.
int WriteOut(const std::optional<std::string>& output, const std::function<std::string()>& make,
             std::ostream& out, std::ostream& err);

}  // namespace tarvelo
