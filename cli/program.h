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

// The options that draw an outline, alike in tarvelo-export and in
// tarvelo-fit --export: their values, or UsageError naming the option.
double ChordOption(const std::string& text);
LengthUnit UnitsOption(const std::string& name);
double TeThicknessOption(const std::string& text);

// What an import did to the outline of `input`, on standard error: the
// transform of a normalised frame and each warning, a line each, after
// "<program>: <input>: ". With `terminal`, the name goes through ForTerminal.
void ReportImport(const char* program, const std::string& input, const ImportedSection& imported,
                  std::ostream& err, bool terminal);

// Where tarvelo-import and tarvelo-export write what they make: -o OUT (one
// input; "-" for standard output), into a directory, or standard output.
struct MadeOutputs {
  std::optional<std::string> out;
  std::optional<std::string> directory;
};

// What tarvelo-import and tarvelo-export do with their inputs: make each
// one's output from its name (and its bytes, for standard input "-") and
// write it, through the safe replacement, to -o OUT, into the directory as
// nameFor(input), or to standard output. Every name is checked first: an
// output that would replace an input or another output stops the run before
// anything is read or written (exit status 2). A failed input is said on
// standard error and the others go on (1); else 0. With `terminal`, what is
// shown goes through ForTerminal.
int WriteMade(const char* program, const std::vector<std::string>& inputs, const MadeOutputs& outputs,
              const std::function<std::string(const std::string& input)>& nameFor,
              const std::function<std::string(const std::string& name, const std::optional<std::string>& bytes)>& make,
              std::ostream& out, std::ostream& err, bool terminal);

// What is made of no file, written to -o OUT ("-" for standard output) or
// to standard output: a failure to make or write it is said on standard
// error (1); else 0.
int WriteOut(const char* program, const std::optional<std::string>& output,
             const std::function<std::string()>& make, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
