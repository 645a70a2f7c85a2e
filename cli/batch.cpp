#include "cli/batch.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <ostream>
#include <utility>

#include "cli/terminal.h"

namespace tarvelo {

namespace {

namespace fs = std::filesystem;

constexpr double kProgressAfter = 1.0;  // seconds of work before the line shows

}  // namespace

std::string Stem(const std::string& path) { return fs::path(path).stem().string(); }

std::string Beside(const std::optional<std::string>& directory, const std::string& input, const std::string& name) {
  const fs::path in = directory ? fs::path(*directory) : fs::path(input).parent_path();
  return (in / name).string();
}

std::string DirectoryPrefix(const std::string& directory) {
  return directory.empty() || directory.back() == '/' ? directory : directory + '/';
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

Batch::Batch(const char* program, std::ostream& out, std::ostream& err, bool terminal,
             const ProgressDisplay& display)
    : program_(program), out_(out), err_(err), terminal_(terminal), display_(display) {}

std::string Batch::Shown(const std::string& text) const { return terminal_ ? ForTerminal(text) : text; }

void Batch::Say(const std::string& message) {
  if (progress_ != nullptr) progress_->Clear();
  tarvelo::Say(err_, program_, Shown(message));
}

void Batch::Note(const std::string& name, const std::string& text) { Say(name + ": " + text); }

bool Batch::Prepare(const std::vector<Planned>& plan, const std::optional<std::string>& directory) {
  std::optional<std::string> refusal = FirstClash(plan);
  if (!refusal && directory) refusal = MakeOutputDirectory(*directory);
  if (refusal) Say(*refusal);
  return !refusal;
}

void Batch::KeepSummary(const std::string& file, const std::string& header) {
  summary_ = file;
  summaryText_ = header;
}

int Batch::Run(const std::vector<std::string>& operands, const Work& work, const Failed& failed) {
  Progress progress(err_, display_.terminal, operands.size(), display_.clock);
  progress_ = &progress;
  int status = 0;
  for (std::size_t i = 0; i < operands.size(); ++i) {
    progress.At(i + 1, ForTerminal(operands[i]));
    const bool standard = operands[i] == kStandardStream;
    Input input{operands[i], standard ? kStandardInputName : operands[i], std::nullopt};
    std::string row;
    try {
      if (standard) input.bytes = ReadStandardInput();
      row = work(input);
    } catch (const Error& e) {
      row = Fail(input, e, failed);
      status = 1;
    } catch (const std::bad_alloc&) {
      row = Fail(input, Error(ErrorKind::NoMemory, input.name, "not enough memory"), failed);
      status = 1;
    }
    if (!Summarise(row)) status = 1;
  }
  progress_ = nullptr;
  return status;
}

std::string Batch::Fail(const Input& input, const Error& error, const Failed& failed) {
  // A failure of an input names it: the library names the file it concerns
  // (which may be an output of this input), or else the input goes first.
  const FileFailure failure{error.has_subject() ? error.what() : input.name + ": " + error.what(), error.kind()};
  std::string row = failed ? failed(input, failure) : std::string();
  Say(failure.message);
  return row;
}

bool Batch::Summarise(const std::string& row) {
  if (!summary_ || summaryFailed_) return !summaryFailed_;
  summaryText_ += row;
  try {
    WriteFileContents(*summary_, summaryText_);
    return true;
  } catch (const Error& e) {
    // Said once: the next rows would fail alike.
    Say(e.what());
    summaryFailed_ = true;
    return false;
  }
}

void Batch::Deliver(const std::optional<std::string>& file, const std::string& bytes) {
  if (file)
    WriteFileContents(*file, bytes);
  else
    out_ << Shown(bytes);
}

std::optional<std::string> MakeOutputDirectory(const std::string& directory) {
  fs::path path(directory);
  if (!path.has_filename()) path = path.parent_path();  // "out/" is "out"
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) return std::nullopt;
  const std::string refusal = directory + ": output directory could not be made: ";
  if (fs::exists(status)) return directory + ": output directory is not a directory";
  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const fs::file_status above = fs::status(parent, ec);
  if (!fs::exists(above)) return refusal + parent.string() + " does not exist";
  if (!fs::is_directory(above)) return refusal + parent.string() + " is not a directory";
  if (!fs::create_directory(path, ec) && ec) return refusal + ec.message();
  return std::nullopt;
}

int RunEachToOne(Batch& batch, const std::vector<std::string>& operands, const Destination& destination,
                 const std::function<std::string(const std::string& operand)>& nameFor,
                 const std::function<std::string(const Input& input)>& make) {
  const auto target = [&](const std::string& operand) -> std::optional<std::string> {
    if (destination.out) return *destination.out == kStandardStream ? std::nullopt : destination.out;
    if (destination.directory) return Beside(destination.directory, operand, nameFor(operand));
    return std::nullopt;
  };
  // What is made of a file must never replace it, nor another's.
  std::vector<Planned> plan;
  for (const std::string& operand : operands) {
    plan.push_back({operand, {}});
    if (const auto to = target(operand)) plan.back().outputs.push_back(*to);
  }
  if (!batch.Prepare(plan, destination.directory)) return 2;
  return batch.Run(operands, [&](const Input& input) {
    batch.Deliver(target(input.operand), make(input));
    return std::string();
  });
}

int WriteOutput(const char* program, const std::optional<std::string>& output,
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
