// What the three programs share when they work through several files: the
// names of their outputs, planned and checked before anything is written;
// standard input read whole; a line of progress on a terminal; and messages
// that begin with the program's name.
#pragma once

#include <tarvelo/tarvelo.h>

#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvelo {

// The standard input or output as an operand or -o OUT.
inline constexpr const char* kStandardStream = "-";
// How standard input is named in messages.
inline constexpr const char* kStandardInputName = "standard input";

// The directory of a path, with its separator ("" for a bare name).
std::string DirectoryOf(const std::string& path);

// A file's name without its directory and without its extension (from the
// last point on), or the whole name when it has none: "naca.selig" gives
// "naca", "naca4412" "naca4412".
std::string Stem(const std::string& path);

// `name` in the output directory when one is given, else beside `input`.
std::string Beside(const std::optional<std::string>& directory, const std::string& input, const std::string& name);

// The outputs one input will write.
struct Planned {
  std::string input;
  std::vector<std::string> outputs;
};

// Before anything is written: the text of the first clash, that two inputs
// would write one output (naming both) or that an output is an input; nothing
// when there is none. Standard output ("-") clashes with nothing.
std::optional<std::string> FirstClash(const std::vector<Planned>& plan);

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

}  // namespace tarvelo
