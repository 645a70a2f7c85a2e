#include "cli/batch.h"

#include <unistd.h>

#include <cerrno>
#include <ostream>
#include <utility>

namespace tarvelo {

namespace {

constexpr double kProgressAfter = 1.0;  // seconds of work before the line shows

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Stem(const std::string& path) {
  const std::string name = path.substr(DirectoryOf(path).size());
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Beside(const std::optional<std::string>& directory, const std::string& input, const std::string& name) {
  if (!directory) return DirectoryOf(input) + name;
  return directory->empty() || directory->back() == '/' ? *directory + name : *directory + '/' + name;
}

std::optional<std::string> FirstClash(const std::vector<Planned>& plan) {
  const auto real = [](const std::string& name) { return name != kStandardStream; };
  for (std::size_t i = 0; i < plan.size(); ++i) {
    for (const std::string& out : plan[i].outputs) {
      if (!real(out)) continue;
      for (const Planned& other : plan)
        if (real(other.input) && SameFile(other.input, out))
          return &other == &plan[i] ? out + ": output file is the input file"
                                    : out + " would replace the input " + other.input + " (written for " +
                                          plan[i].input + ")";
      for (std::size_t k = 0; k <= i; ++k)
        for (const std::string& earlier : plan[k].outputs) {
          if (&earlier == &out) break;
          if (real(earlier) && SameFile(earlier, out))
            return k == i ? out + " would be written twice for " + plan[i].input
                          : plan[k].input + " and " + plan[i].input + " would both write " + out;
        }
    }
  }
  return std::nullopt;
}

std::string ReadStandardInput() {
  std::string bytes;
  char block[65536];
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Error(ErrorKind::NotReadable, kStandardInputName, "input file could not be read");
    if (n == 0) return bytes;
    bytes.append(block, static_cast<std::size_t>(n));
  }
}

void Say(std::ostream& err, const char* program, const std::string& message) {
  err << program << ": " << message << '\n';
}

Progress::Progress(std::ostream& err, bool terminal, std::size_t files, Clock clock)
    : err_(err), terminal_(terminal && files > 1), files_(files), clock_(std::move(clock)), start_(clock_()) {}

Progress::~Progress() { Clear(); }

double Progress::Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Progress::At(std::size_t n, const std::string& name) {
  if (!terminal_ || clock_() - start_ < kProgressAfter) return;
  // Carriage return and erase to the end of the line: the line is rewritten.
  err_ << "\r\x1b[K" << "file " << n << " of " << files_ << ": " << name << std::flush;
  shown_ = true;
}

void Progress::Clear() {
  if (!shown_) return;
  err_ << "\r\x1b[K" << std::flush;
  shown_ = false;
}

}  // namespace tarvelo
