// The one way tarvelo-fit, tarvelo-import and tarvelo-export work through
// their inputs: the names of every output planned and checked before
// anything is written, the output directory made, standard input read whole,
// a line of progress on a terminal, each failure said once naming its input
// while the others go on, and the summary kept up to date after each input.
#pragma once

#include <tarvelo/tarvelo.h>

#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/clash.h"

namespace tarvelo {

// How standard input is named in messages.
inline constexpr const char* kStandardInputName = "standard input";
// Why standard input cannot be written into an output directory.
inline constexpr const char* kNoNameForDirectory =
    "--output-dir names each output after its input: standard input ('-') has no name";

// A file's name without its directory and without its extension (from the
// last point on), or the whole name when it has none: "naca.selig" gives
// "naca", "naca4412" "naca4412", ".clarky" ".clarky".
std::string Stem(const std::string& path);

// `name` in the output directory when one is given, else beside `input`.
std::string Beside(const std::optional<std::string>& directory, const std::string& input, const std::string& name);

// The directory a name is in, as a prefix: "" for a bare name, else the
// directory with a separator after it.
std::string DirectoryPrefix(const std::string& directory);

// The whole of standard input.
std::string ReadStandardInput();

// "<program>: " and a message, on a line of its own.
void Say(std::ostream& err, const char* program, const std::string& message);

// A line on a terminal that tells which file of how many is being worked on,
// rewritten in place; shown once the work has taken a second, and erased at
// the end. Nothing at all where standard error is not a terminal.
class Progress {
 public:
  using Clock = std::function<double()>;  // seconds
  Progress(std::ostream& err, bool terminal, std::size_t files, Clock clock = Seconds);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // File n (from 1) is about to be worked on.
  void At(std::size_t n, const std::string& name);
  // A message is about to be written: the progress line goes first.
  void Clear();

  static double Seconds();

 private:
  std::ostream& err_;
  bool terminal_;
  std::size_t files_;
  Clock clock_;
  double start_;
  bool shown_ = false;
};

// Whether standard error is a terminal (for the line of progress when
// several files take more than a second), and the clock it is timed by.
struct ProgressDisplay {
  bool terminal = false;
  Progress::Clock clock = Progress::Seconds;
};

// One input of a batch, as the work on it sees it.
struct Input {
  std::string operand;  // as given: a file name, or "-"
  std::string name;     // as messages name it: the file name, or "standard input"
  // Standard input's bytes, read whole; nothing for a file, read by its name.
  std::optional<std::string> bytes;
};

// Why one input failed: the message, naming the input, and its kind.
struct FileFailure {
  std::string message;
  ErrorKind kind;
};

class Batch {
 public:
  // What is made of one input: its row of the summary (ignored without one).
  // Throws Error when the input fails.
  using Work = std::function<std::string(const Input& input)>;
  // Told of a failure after it is said: the failed input's row of the summary.
  using Failed = std::function<std::string(const Input& input, const FileFailure& failure)>;

  // With `terminal` (standard output is one), what is shown goes through ForTerminal.
  Batch(const char* program, std::ostream& out, std::ostream& err, bool terminal,
        const ProgressDisplay& display = {});

  // Before anything is read or written: refuses a plan whose outputs clash,
  // and makes the output directory where it does not exist (its parent
  // must). False, the refusal said, when the run may not go on (exit status 2).
  bool Prepare(const std::vector<Planned>& plan, const std::optional<std::string>& directory);

  // A summary of the run: the header and a row a finished input, the whole
  // file written anew after each, so that a run stopped by a signal keeps
  // the rows of the inputs it finished.
  void KeepSummary(const std::string& file, const std::string& header);

  // Works on each input in turn. A failure is said once, naming its input
  // (the library's Error names it when it has a subject, else the input is
  // put first), and the next input is worked on. Exit status: 0 when every
  // input and the summary were done, else 1.
  int Run(const std::vector<std::string>& operands, const Work& work, const Failed& failed = {});

  // "<program>: <name>: <text>" on standard error, the progress line erased first.
  void Note(const std::string& name, const std::string& text);
  // The text as it is shown: through ForTerminal on a terminal.
  std::string Shown(const std::string& text) const;
  std::ostream& out() { return out_; }

  // Bytes to a file, replaced whole, or to standard output for none.
  void Deliver(const std::optional<std::string>& file, const std::string& bytes);

 private:
  std::string Fail(const Input& input, const Error& error, const Failed& failed);
  bool Summarise(const std::string& row);
  void Say(const std::string& message);

  const char* program_;
  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
  ProgressDisplay display_;
  Progress* progress_ = nullptr;
  std::optional<std::string> summary_;
  std::string summaryText_;
  bool summaryFailed_ = false;
};

// The output directory, made where it does not exist: the refusal when it
// cannot be, naming it and why; nothing when it is there.
std::optional<std::string> MakeOutputDirectory(const std::string& directory);

// Where tarvelo-import and tarvelo-export write what they make of each
// input: -o OUT (one input; "-" for standard output), into the directory,
// or standard output.
struct Destination {
  std::optional<std::string> out;
  std::optional<std::string> directory;
};

// What tarvelo-import and tarvelo-export do: make one output of each input
// and write it to its destination, into the directory as nameFor(input).
int RunEachToOne(Batch& batch, const std::vector<std::string>& operands, const Destination& destination,
                 const std::function<std::string(const std::string& operand)>& nameFor,
                 const std::function<std::string(const Input& input)>& make);

// What is made of no input (tarvelo-naca), written to -o OUT ("-" for
// standard output) or to standard output: a failure to make or write it is
// said on standard error (1); else 0.
int WriteOutput(const char* program, const std::optional<std::string>& output,
                const std::function<std::string()>& make, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
