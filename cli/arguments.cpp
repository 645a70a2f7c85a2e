#include "cli/arguments.h"

#include "cli/terminal.h"

#include <algorithm>
#include <limits>
#include <ostream>

namespace tarvelo {

bool Arguments::NextOption() {
  while (next_ < args_.size()) {
    at_ = next_++;
    const std::string& a = args_[at_];
    if (optionsEnded_ || a == "-" || a.empty() || a[0] != '-') {
      operands_.push_back(a);
    } else if (a == "--") {
      optionsEnded_ = true;
    } else {
      return true;
    }
  }
  return false;
}

bool Arguments::Is(std::string_view name) {
  const std::string& a = option();
  if (a.compare(0, name.size(), name) != 0) return false;
  const bool shortOption = name.size() == 2;
  if (!shortOption && a.size() > name.size() && a[name.size()] != '=') return false;
  nameLength_ = name.size();
  return true;
}

bool Arguments::IsFlag(std::string_view name) {
  if (!Is(name)) return false;
  if (option().size() > name.size())
    throw UsageError{"option '" + std::string(name) + "' doesn't allow an argument"};
  return true;
}

std::optional<std::string> Arguments::FollowingOperand() const {
  if (next_ >= args_.size()) return std::nullopt;
  const std::string& a = args_[next_];
  if (!optionsEnded_ && a.size() > 1 && a[0] == '-') return std::nullopt;
  return a;
}

std::optional<std::string> Arguments::AttachedValue() const {
  const std::string& a = option();
  if (a.size() <= nameLength_) return std::nullopt;
  const bool shortOption = nameLength_ == 2;
  return a.substr(nameLength_ + (shortOption ? 0 : 1));
}

std::string Arguments::Value() {
  if (const auto attached = AttachedValue()) return *attached;
  if (next_ >= args_.size())
    throw UsageError{"option '" + option().substr(0, nameLength_) + "' requires an argument"};
  return args_[next_++];
}

bool AnswersHelpOrVersion(Arguments& a, const char* program, const char* help, std::ostream& out) {
  if (a.IsFlag("--help")) {
    out << help;
    return true;
  }
  if (a.IsFlag("--version")) {
    // The version the window's first page shows.
    out << program << " (TARVELO) 2.01\n";
    return true;
  }
  return false;
}

int CountOf(const std::string& digits, const std::string& what) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
    throw UsageError{"the number of " + what + " takes digits only: '" + digits + "'"};
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  if (digits.size() - first > 4) return std::numeric_limits<int>::max();
  return std::stoi(digits.substr(first));
}

int CountOption(const std::string& digits, const std::string& option, int lowest, int highest,
                const std::string& what) {
  const int count = CountOf(digits, what);
  if (count < lowest || count > highest)
    throw UsageError{option + " takes " + std::to_string(lowest) + " to " + std::to_string(highest) + " " + what +
                     ": '" + digits + "'"};
  return count;
}

std::string WrapText(const std::string& text, const std::string& first, const std::string& rest) {
  constexpr std::size_t kWidth = 76;
  std::string out;
  std::string line = first;
  bool empty = true;  // no word on the line yet
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t end = std::min(text.find(' ', i), text.size());
    const std::string word = text.substr(i, end - i);
    i = end + 1;
    if (word.empty()) continue;
    if (!empty && line.size() + 1 + word.size() > kWidth) {
      out += line + '\n';
      line = rest;
      empty = true;
    }
    line += (empty ? "" : " ") + word;
    empty = false;
  }
  return out + line + '\n';
}

int UsageFailure(const char* program, const std::string& text, std::ostream& err, bool terminal) {
  err << program << ": " << (terminal ? ForTerminal(text) : text) << "\nTry '" << program
      << " --help' for more information.\n";
  return 2;
}

}  // namespace tarvelo
