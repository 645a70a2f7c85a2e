#include "foilio/file_errors.h"

#include <cerrno>
#include <utility>

namespace tarvelo::detail {

namespace {

bool NameError(int err) { return err == ENAMETOOLONG || err == EINVAL; }

bool DriveError(int err) {
#ifdef ENOMEDIUM
  if (err == ENOMEDIUM) return true;
#endif
  return err == ENXIO || err == ENODEV;
}

WriteFaultHook& Hook() {
  static WriteFaultHook hook;
  return hook;
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

std::string InputMessage(const std::string& name, OpenCause cause) {
  const char* text = " - Input file could not be read !! ";
  switch (cause) {
    case OpenCause::NameNotValid: text = " - Input file not valid !! "; break;
    case OpenCause::NotFound: text = " - Input file not found !! "; break;
    case OpenCause::NoDrive: text = " - Drive not available !! "; break;
    case OpenCause::Directory: text = " - Input file is a directory !! "; break;
    case OpenCause::NotRegular: text = " - Input file is not a regular file !! "; break;
    case OpenCause::NoReader:
    case OpenCause::SameFile:
    case OpenCause::Failed: break;
  }
  return "  " + name + text;
}

std::string OutputMessage(const std::string& name, OpenCause cause) {
  const char* text = " - Output file could not be written !! ";
  switch (cause) {
    case OpenCause::NameNotValid: text = " - Output file name not valid !! "; break;
    case OpenCause::NoDrive: text = " - Drive not available !! "; break;
    case OpenCause::Directory: text = " - Output file is a directory !! "; break;
    case OpenCause::NoReader: text = " - Output pipe has no reader !! "; break;
    case OpenCause::SameFile: text = " - Output file is the input file !! "; break;
    case OpenCause::NotFound:  // a missing directory: the file could not be written
    case OpenCause::NotRegular:
    case OpenCause::Failed: break;
  }
  return "  " + name + text;
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
  return Error(InputKind(cause), InputMessage(name, cause));
}

Error OutputError(const std::string& name, OpenCause cause) {
  return Error(OutputKind(cause), OutputMessage(name, cause));
}

bool UnusableName(const std::string& name) {
  return name.empty() || name.find('\0') != std::string::npos;
}

void SetWriteFaultHook(WriteFaultHook hook) { Hook() = std::move(hook); }

int InjectedWriteFault(WriteStep step) {
  const WriteFaultHook& hook = Hook();
  return hook ? hook(step) : 0;
}

}  // namespace tarvelo::detail
