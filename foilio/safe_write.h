// Writing a whole file so that a failure never costs an earlier file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvelo {

struct WriteOutcome {
  int err = 0;           // errno of the step that failed, 0 when the file is written
  bool created = false;  // the file was created (or opened) before anything failed
};

// Writes bytes as the whole content of the file name. A regular file (or a new
// one) is written beside the target and renamed over it only when complete,
// keeping its permissions and, where we may, its owner. A symbolic link is
// followed so it stays a link, unless another user planted it in a shared
// sticky directory (EACCES). Written in place: a device or FIFO (EPIPE when a
// FIFO has no reader), a file with several hard links, and a writable file
// in a directory we may not write to. A directory gives EISDIR, a file the
// caller may not write EACCES. A removed temporary file is also cleaned up
// by the handlers of RemoveTemporaryFileOnSignals.
WriteOutcome WriteFileSafely(const std::string& name, std::string_view bytes);

// True when the two names name one file: the same device and inode where the
// file exists, else the same path once resolved.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// SIGINT, SIGTERM and SIGHUP remove every pending temporary file, then end
// the program as the signal would.
void InstallTemporaryFileCleanup();

}  // namespace tarvelo
