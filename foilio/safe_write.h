// Writing a whole file so that a failure never costs an earlier file.
#pragma once

#include <tarvelo/tarvelo.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tarvelo {

struct WriteOutcome {
  int err = 0;           // errno of the step that failed, 0 when the file is written
  bool created = false;  // the file was created (or opened) before anything failed
  bool damaged = false;  // a file written in place failed once its content had changed
};

// The steps of a write, each of which a test may make fail.
// Truncate comes between the write and the cut of a file written in place.
enum class WriteStep { Create, Created, Write, Truncate, Sync, Close, Rename };

// A test's faults: asked before each step (Created: once the file to write
// exists, and is locked where it is written in place), they give the errno to
// fail that step with, or 0 to let it run. Each write is given its own, so
// that nothing a test sets outlives its call or reaches another thread.
using WriteFaults = std::function<int(WriteStep)>;

// Writes bytes as the whole content of the file name. A regular file (or a
// new one) is written beside the target and renamed over it only when
// complete, keeping its permissions and, where we may, its owner; the
// temporary file is pending for the handlers of RemoveTemporaryFileOnSignals
// until then. A symbolic link is followed so it stays a link, unless another
// user planted it in a shared sticky directory (EACCES). A directory gives
// EISDIR, a file the caller may not write EACCES, and content longer than
// the process may write to a file (RLIMIT_FSIZE) EFBIG, before a byte is
// written.
//
// Written in place: a device or FIFO (EPIPE when a FIFO has no reader), a
// file with several hard links, and a writable file in a directory we may
// not write to. For such a regular file, room for the new content is claimed
// first, so that a full disk fails before the file changes, and the signals
// that end a program wait until the content is rewritten and cut to its
// length; a failure after the content changed gives `damaged`.
//
// `faults`, given by tests alone, makes steps fail.
WriteOutcome WriteFileSafely(const std::string& name, std::string_view bytes,
                             const WriteFaults* faults = nullptr);

// The Error of a failed write: its kind, the file and the reason, which
// says why.
Error WriteError(const std::string& name, const WriteOutcome& out);

// True when the two names name one file: the same device and inode where the
// file exists, else the same path once resolved.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU,
// SIGVTALRM, SIGPROF and SIGPIPE remove every pending temporary file, then
// end the program as the signal would; one the program ignores, or handles
// itself, is left to it. SIGXFSZ is ignored, so that a write past the
// file-size limit fails with EFBIG instead of ending the program.
void InstallTemporaryFileCleanup();

}  // namespace tarvelo
