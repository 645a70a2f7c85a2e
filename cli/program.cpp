#include "cli/program.h"

#include "cli/arguments.h"

#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <array>
#include <cerrno>
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

namespace {

// The stations an import or a NACA section is cut at.
constexpr int kFewestStations = 5;
constexpr int kMostStations = 401;

}  // namespace

double ChordOption(const std::string& text) {
  return CheckedNormal(text, [](double c) { return c > 0 && c <= 1e6; },
                       "--chord takes a length above 0 and at most 1e6");
}

LengthUnit UnitsOption(const std::string& name) {
  try {
    return FindLengthUnit(name);
  } catch (const Error&) {
    throw UsageError{"--units takes mm, cm, m or in: '" + name + "'"};
  }
}

Layoff LayoffOption(const std::string& name) {
  try {
    return FindLayoff(name);
  } catch (const Error&) {
    throw UsageError{"--layoff takes vertical or across: '" + name + "'"};
  }
}

double TeThicknessOption(const std::string& text) {
  return CheckedNormal(text, [](double d) { return d >= 0 && d <= 1; },
                       "--te-thickness takes a fraction of the chord from 0 to 1");
}

int StationsOption(const std::string& text) {
  return CountOption(text, "--stations", kFewestStations, kMostStations, "stations");
}

std::string OutputDirOption(const std::string& text) {
  if (text.empty()) throw UsageError{"--output-dir takes the name of a directory, not ''"};
  return text;
}

std::vector<std::string> ImportNotes(const ImportedSection& imported) {
  std::vector<std::string> notes;
  if (imported.transform.frame == ImportFrame::Normalised) notes.push_back(ImportTransformText(imported.transform));
  for (const std::string& warning : imported.warnings) notes.push_back("warning: " + warning);
  return notes;
}

}  // namespace tarvelo
