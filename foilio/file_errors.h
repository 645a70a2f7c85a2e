// What the reader and the writer share inside foilio: how a failed open is
// told to the user.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>
#include <string_view>

namespace tarvelo::detail {

// Why a file could not be opened, as the user is told.
enum class OpenCause {
  NameNotValid,  // "input file not valid" / "output file name not valid"
  NotFound,      // "input file not found" (input only)
  NoDrive,       // "drive not available"
  Directory,     // "input file is a directory" / "output file is a directory"
  NotRegular,    // "input file is not a regular file" (a FIFO, device or socket)
  NoReader,      // "output pipe has no reader"
  SameFile,      // "output file is the input file"
  Failed,        // "input file could not be read" / "output file could not be written: <why>"
  Damaged,       // "output file could not be written and is damaged: <why>" (output only: a
                 // file written in place whose write failed after its content changed)
};

// The platform's errno of a failed open, stat or create, mapped to a cause:
//
//   errno                          input          output
//   (empty name, NUL in the name)  NameNotValid   NameNotValid
//   ENAMETOOLONG, EINVAL           NameNotValid   NameNotValid
//   EISDIR                         Directory      Directory
//   ENOENT, ENOTDIR                NotFound       Failed        (a missing directory)
//   ENXIO, ENODEV, ENOMEDIUM       NoDrive        NoDrive
//   EPIPE                          Failed         NoReader      (a FIFO nobody reads)
//   anything else                  Failed         Failed        (ENOSPC, EACCES, EROFS, ELOOP, ...)
OpenCause ClassifyInputError(int err);
OpenCause ClassifyOutputError(int err);

// The reason a cause is given as, about an input or an output file. An
// output that failed says why, from the errno of the step that failed.
const char* InputReason(OpenCause cause);
std::string OutputReason(OpenCause cause, int err = 0);

// "output file could not be written: <why>".
std::string CouldNotWrite(std::string_view why);

// Why a write failed, in plain lower-case words: "no such folder" (ENOENT,
// ENOTDIR: a folder of the path is missing or is a file), "no room left on
// the device" (ENOSPC, EDQUOT), "permission denied" (EACCES, EPERM),
// "read-only file system" (EROFS), "file too large" (EFBIG), else the
// system's own words for the errno, the same in every locale.
std::string WriteFailureText(int err);

// The kind of Error each cause is: an input that is not there (or cannot be
// named) is NotFound, one that is there but cannot be read NotReadable; an
// output that would be the input is SameFile, any other NotWritten.
ErrorKind InputKind(OpenCause cause);
ErrorKind OutputKind(OpenCause cause);

// The Error of a failed input or output: its kind, the file and the reason.
Error InputError(const std::string& name, OpenCause cause);
Error OutputError(const std::string& name, OpenCause cause, int err = 0);

// True for a name the platform cannot take at all: empty, or with a NUL byte.
bool UnusableName(const std::string& name);

}  // namespace tarvelo::detail
