// Writing whole files safely, and telling whether two names name one file.
#include <tarvelo/tarvelo.h>

#include "foilio/file_errors.h"
#include "foilio/safe_write.h"

namespace tarvelo {

void WriteFileContents(const std::filesystem::path& file, std::string_view bytes) {
  const std::string name = file.string();
  if (detail::UnusableName(name)) throw detail::OutputError(name, detail::OpenCause::NameNotValid);
  const WriteOutcome out = WriteFileSafely(name, bytes);
  if (out.err != 0) throw WriteError(name, out);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) { return IsSameFile(a, b); }

void CheckNotInput(const std::filesystem::path& input, const std::filesystem::path& output) {
  if (IsSameFile(input, output)) throw detail::OutputError(output.string(), detail::OpenCause::SameFile);
}

void RemoveTemporaryFileOnSignals() { InstallTemporaryFileCleanup(); }

}  // namespace tarvelo
