#include "foilio/file_errors.h"

#include <cerrno>

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
    case OpenCause::Failed: break;
  }
  return "input file could not be read";
}

const char* OutputReason(OpenCause cause) {
  switch (cause) {
    case OpenCause::NameNotValid: return "output file name not valid";
    case OpenCause::NoDrive: return "drive not available";
    case OpenCause::Directory: return "output file is a directory";
    case OpenCause::NoReader: return "output pipe has no reader";
    case OpenCause::SameFile: return "output file is the input file";
    case OpenCause::NotFound:  // a missing directory: the file could not be written
    case OpenCause::NotRegular:
    case OpenCause::Failed: break;
  }
  return "output file could not be written";
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
    case OpenCause::Failed: break;
  }
  return ErrorKind::NotReadable;
}

ErrorKind OutputKind(OpenCause cause) {
  return cause == OpenCause::SameFile ? ErrorKind::SameFile : ErrorKind::NotWritten;
}

Error InputError(const std::string& name, OpenCause cause) {
  return Error(InputKind(cause), name, InputReason(cause));
}

Error OutputError(const std::string& name, OpenCause cause) {
  return Error(OutputKind(cause), name, OutputReason(cause));
}

bool UnusableName(const std::string& name) {
  return name.empty() || name.find('\0') != std::string::npos;
}

}  // namespace tarvelo::detail
