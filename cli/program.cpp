#include "cli/program.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/terminal.h"

#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ostream>
#include <streambuf>

namespace tarvelo {

namespace {

// A file descriptor as a buffered stream that keeps the reason of its first
// failed write: std::cout would only say that something failed, not what.
// The programs write through two of these rather than std::cout and std::cerr,
// whose set-up costs a short run a twentieth of its time.
class OutputBuffer : public std::streambuf {
 public:
  explicit OutputBuffer(int fd) : fd_(fd) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool Flush() {
    const char* from = pbase();
    while (from < pptr() && error_ == 0) {
      const ssize_t n = ::write(fd_, from, static_cast<std::size_t>(pptr() - from));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : EIO;
      } else {
        from += n;
      }
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
  }

  int fd_;
  // Not cleared: only what was put in is ever written.
  std::array<char, 64 * 1024> buffer_;
  int error_ = 0;
};

}  // namespace

int RunProgram(const char* program, int argc, char** argv, const Command& command) {
  RemoveTemporaryFileOnSignals();
  OutputBuffer outBuffer(STDOUT_FILENO);
  OutputBuffer errBuffer(STDERR_FILENO);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  err.setf(std::ios::unitbuf);  // each message as soon as it is made
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = command(args, out, err);
  out.flush();
  if (outBuffer.error() != 0) {
    err << program << ": standard output: " << std::strerror(outBuffer.error()) << '\n';
    return 1;
  }
  return status;
}

double ChordOption(const std::string& text) {
  // As the library takes it: smaller than a normal number, every coordinate
  // would be drawn as 0.
  return Checked<double>(text, [](double c) { return std::isnormal(c) && c > 0 && c <= 1e6; },
                         "--chord takes a length from 2.2250738585072014e-308 to 1e6");
}

LengthUnit UnitsOption(const std::string& name) {
  try {
    return FindLengthUnit(name);
  } catch (const Error&) {
    throw UsageError{"--units takes mm, cm, m or in: '" + name + "'"};
  }
}

double TeThicknessOption(const std::string& text) {
  return Checked<double>(text, [](double d) { return d >= 0 && d <= 1; },
                         "--te-thickness takes a fraction of the chord from 0 to 1");
}

void ReportImport(const char* program, const std::string& input, const ImportedSection& imported,
                  std::ostream& err, bool terminal) {
  const std::string at = std::string(program) + ": " + (terminal ? ForTerminal(input) : input) + ": ";
  if (imported.transform.frame == ImportFrame::Normalised)
    err << at << ImportTransformText(imported.transform) << '\n';
  for (const std::string& warning : imported.warnings) err << at << "warning: " << warning << '\n';
}

int WriteMade(const char* program, const std::vector<std::string>& inputs, const MadeOutputs& outputs,
              const std::function<std::string(const std::string& input)>& nameFor,
              const std::function<std::string(const std::string& name, const std::optional<std::string>& bytes)>& make,
              std::ostream& out, std::ostream& err, bool terminal) {
  const auto shown = [terminal](const std::string& text) { return terminal ? ForTerminal(text) : text; };
  const auto target = [&](const std::string& input) -> std::optional<std::string> {
    if (outputs.out) return *outputs.out == kStandardStream ? std::nullopt : outputs.out;
    if (outputs.directory) return Beside(outputs.directory, input, nameFor(input));
    return std::nullopt;
  };
  // What is made of a file must never replace it, nor another's.
  std::vector<Planned> plan;
  for (const std::string& input : inputs) {
    Planned planned{input, {}};
    if (const auto to = target(input)) planned.outputs.push_back(*to);
    plan.push_back(planned);
  }
  if (const auto clash = FirstClash(plan)) {
    Say(err, program, shown(*clash));
    return 2;
  }
  int status = 0;
  for (const std::string& input : inputs) {
    const bool standard = input == kStandardStream;
    const std::string name = standard ? kStandardInputName : input;
    try {
      const std::string bytes = make(name, standard ? std::optional(ReadStandardInput()) : std::nullopt);
      if (const auto to = target(input))
        WriteFileContents(*to, bytes);
      else
        out << shown(bytes);
    } catch (const Error& e) {
      Say(err, program, shown(e.what()));
      status = 1;
    }
  }
  return status;
}

int WriteOut(const char* program, const std::optional<std::string>& output,
             const std::function<std::string()>& make, std::ostream& out, std::ostream& err) {
  try {
    const std::string bytes = make();
    if (output && *output != kStandardStream)
      WriteFileContents(*output, bytes);
    else
      out << bytes;
    return 0;
  } catch (const Error& e) {
    Say(err, program, e.what());
    return 1;
  }
}

}  // namespace tarvelo
