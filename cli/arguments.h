// The command lines of the programs, GNU style: options in any order among
// the operands, "--" ends the options and "-" is an operand. A long option
// takes its value as "--name=VALUE" or "--name VALUE", a short one as
// "-xVALUE" or "-x VALUE".
#pragma once

#include <charconv>
#include <cmath>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

// A command line that is not understood; the text says why.
struct UsageError {
  std::string text;
};

class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& args) : args_(args) {}

  // Moves to the next option, collecting the operands on the way; false at
  // the end of the command line.
  bool NextOption();
  // The option as written.
  const std::string& option() const { return args_[at_]; }
  // The option is `name`: a long one exactly or with "=VALUE", a short one
  // also with its value attached.
  bool Is(std::string_view name);
  // The option is the long option `name`, which takes no value: throws
  // UsageError for "--name=VALUE" rather than ignore the value.
  bool IsFlag(std::string_view name);
  // The value of the option matched last: attached, or the next argument.
  std::string Value();
  // The value attached to it, for an option whose value may be left out.
  std::optional<std::string> AttachedValue() const;
  // The argument after the option when it is an operand, not an option.
  std::optional<std::string> FollowingOperand() const;
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  const std::vector<std::string>& args_;
  std::vector<std::string> operands_;
  std::size_t at_ = 0;
  std::size_t next_ = 0;
  std::size_t nameLength_ = 0;
  bool optionsEnded_ = false;
};

// Answers --help with `help` and --version with the program's version line;
// true when the option was one of them.
bool AnswersHelpOrVersion(Arguments& a, const char* program, const char* help, std::ostream& out);

// The whole text as a number of type T, read as C reads it whatever the
// locale; nullopt for anything else.
template <class T>
std::optional<T> Number(std::string_view text) {
  T v{};
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  return v;
}

// The whole text as a number that fits, or UsageError "<refusal>: '<text>'".
template <class T, class Fits>
T Checked(const std::string& text, Fits fits, const std::string& refusal) {
  const std::optional<T> v = Number<T>(text);
  if (!v || !fits(*v)) throw UsageError{refusal + ": '" + text + "'"};
  return *v;
}

// The whole text as a number that fits and is of full precision, or
// UsageError "<refusal>: '<text>'". A subnormal number (not 0, closer to it
// than 2.2250738585072014e-308) is refused, saying so: no length, size or
// tolerance is that small, and the arithmetic would lose its digits.
template <class Fits>
double CheckedNormal(const std::string& text, Fits fits, const std::string& refusal) {
  const double v = Checked<double>(text, fits, refusal);
  if (v != 0 && !std::isnormal(v))
    throw UsageError{refusal + ": '" + text + "' is below the smallest normal number, 2.2250738585072014e-308"};
  return v;
}

// A count written with digits only, as the window's fields take one. A count
// too long for an int is kept beyond any range, for the range check to refuse.
int CountOf(const std::string& digits, const std::string& what);

// A count of `what` for an option that takes `lowest` to `highest`, or
// UsageError "<option> takes <lowest> to <highest> <what>: '<digits>'".
int CountOption(const std::string& digits, const std::string& option, int lowest, int highest,
                const std::string& what);

// `text` wrapped into lines of at most 76 characters: the first begins with
// `first`, the others with `rest`; each ends in a newline.
std::string WrapText(const std::string& text, const std::string& first, const std::string& rest);

// "<program>: <text>" and where to read more, on standard error, the text
// as ForTerminal shows it when `terminal`; the exit status of a usage error, 2.
int UsageFailure(const char* program, const std::string& text, std::ostream& err,
                 bool terminal = false);

}  // namespace tarvelo
