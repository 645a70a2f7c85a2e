// The check, before anything is written, that no output of a run replaces
// one of its inputs or another of its outputs. Each name is looked at once:
// a run of a thousand inputs with several outputs each is checked as fast as
// the names can be stated.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarvelo {

// The standard input or output as an operand or -o OUT.
inline constexpr const char* kStandardStream = "-";

// The outputs one input will write.
struct Planned {
  std::string input;  // the input as given, or what the outputs are for ("the summary")
  std::vector<std::string> outputs;
  bool reads_input = true;  // false for outputs of the whole run, which read no file
};

// Before anything is written: the text of the first clash, that two inputs
// would write one output (naming both) or that an output is an input; nothing
// when there is none. Standard input and output ("-") clash with nothing.
// Two names clash where a write to one would replace the other.
std::optional<std::string> FirstClash(const std::vector<Planned>& plan);

// What makes two names one file, comparable in a hash map: the device and
// inode of a name that exists; else the name made absolute with its
// directory resolved (each directory resolved once, however many names it
// holds), and a link that names no file yet followed to the name it names.
class FileKeys {
 public:
  std::string Key(const std::string& name);

 private:
  std::string ResolvedDirectory(const std::string& directory);

  std::optional<std::string> cwd_;
  std::unordered_map<std::string, std::string> directories_;
};

}  // namespace tarvelo
