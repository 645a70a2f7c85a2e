#include "foilio/file_errors.h"

#include <cerrno>
#include <cstring>

namespace tarvelo::detail {

namespace {

bool NameError(int err) { return err == ENAMETOOLONG || err == EINVAL; }

bool DriveError(int err) {
#ifdef ENOMEDIUM
  if (err == ENOMEDIUM) return true;
#endif
  return err == ENXIO || err == ENODEV;
}

}  // namespace

OpenCause ClassifyInputError(int err) {
  if (NameError(err)) return OpenCause::NameNotValid;
  if (err == EISDIR) return OpenCause::Directory;
  if (err == ENOENT || err == ENOTDIR) return OpenCause::NotFound;
  if (DriveError(err)) return OpenCause::NoDrive;
  return OpenCause::Failed;
}

OpenCause ClassifyOutputError(int err) {
  if (NameError(err)) return OpenCause::NameNotValid;
  if (err == EISDIR) return OpenCause::Directory;
  if (err == EPIPE) return OpenCause::NoReader;
  if (DriveError(err)) return OpenCause::NoDrive;
  return OpenCause::Failed;
}

const char* InputReason(OpenCause cause) {
  switch (cause) {
    case OpenCause::NameNotValid: return "input file not valid";
    case OpenCause::NotFound: return "input file not found";
    case OpenCause::NoDrive: return "drive not available";
    case OpenCause::Directory: return "input file is a directory";
    case OpenCause::NotRegular: return "input file is not a regular file";
    case OpenCause::NoReader:
    case OpenCause::SameFile:
    case OpenCause::Failed:
    case OpenCause::Damaged: break;
  }
  return "input file could not be read";
}

std::string OutputReason(OpenCause cause, int err) {
  switch (cause) {
    case OpenCause::NameNotValid: return "output file name not valid";
    case OpenCause::NoDrive: return "drive not available";
    case OpenCause::Directory: return "output file is a directory";
    case OpenCause::NoReader: return "output pipe has no reader";
    case OpenCause::SameFile: return "output file is the input file";
    case OpenCause::Damaged: return "output file could not be written and is damaged: " + WriteFailureText(err);
    case OpenCause::NotFound:  // a missing directory: the file could not be written
    case OpenCause::NotRegular:
    case OpenCause::Failed: break;
  }
  return CouldNotWrite(WriteFailureText(err));
}

std::string CouldNotWrite(std::string_view why) {
  return "output file could not be written: " + std::string(why);
}

std::string WriteFailureText(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return "no such folder";
    case ENOSPC:
    case EDQUOT: return "no room left on the device";
    case EACCES:
    case EPERM: return "permission denied";
    case EROFS: return "read-only file system";
    case EFBIG: return "file too large";
    default: break;
  }
  // The C library's description, not strerror's: that one follows the
  // locale, and a library's reasons are the same wherever it runs.
  const char* text = ::strerrordesc_np(err);
  if (text == nullptr) return "error " + std::to_string(err);
  std::string why = text;
  // "Input/output error" begins a sentence; "RFS specific error" keeps its
  // initials.
  const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (upper(why[0]) && !(why.size() > 1 && upper(why[1]))) why[0] = static_cast<char>(why[0] - 'A' + 'a');
  return why;
}

ErrorKind InputKind(OpenCause cause) {
  switch (cause) {
    case OpenCause::NameNotValid:
    case OpenCause::NotFound:
    case OpenCause::NoDrive: return ErrorKind::NotFound;
    case OpenCause::Directory:
    case OpenCause::NotRegular:
    case OpenCause::NoReader:
    case OpenCause::SameFile:
    case OpenCause::Failed:
    case OpenCause::Damaged: break;
  }
  return ErrorKind::NotReadable;
}

ErrorKind OutputKind(OpenCause cause) {
  return cause == OpenCause::SameFile ? ErrorKind::SameFile : ErrorKind::NotWritten;
}

Error InputError(const std::string& name, OpenCause cause) {
  return Error(InputKind(cause), name, InputReason(cause));
}

Error OutputError(const std::string& name, OpenCause cause, int err) {
  return Error(OutputKind(cause), name, OutputReason(cause, err));
}

bool UnusableName(const std::string& name) {
  return name.empty() || name.find('\0') != std::string::npos;
}

}  // namespace tarvelo::detail
