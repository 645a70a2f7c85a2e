// What every command-line program does around its command: standard output
// that tells when it could not be written, and no temporary file left behind
// when the program is interrupted.
#pragma once

#include <functional>
#include <iosfwd>
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

// The options that draw an outline, alike in tarvelo-export and in
// tarvelo-fit --export: their values, or UsageError naming the option.
double ChordOption(const std::string& text);
LengthUnit UnitsOption(const std::string& name);
double TeThicknessOption(const std::string& text);
Layoff LayoffOption(const std::string& name);

// --stations of tarvelo-fit, tarvelo-import and tarvelo-naca: 5 to 401.
int StationsOption(const std::string& text);

// --output-dir of tarvelo-fit, tarvelo-import and tarvelo-export: any name
// but the empty one.
std::string OutputDirOption(const std::string& text);

// What an import did to an outline, a line each: the transform of a
// normalised frame and each warning ("warning: ...").
std::vector<std::string> ImportNotes(const ImportedSection& imported);

}  // namespace tarvelo
