// Writing a whole file so that a failure never costs an earlier file.
#include "foilio/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>

#include "foilio/file_errors.h"

namespace tarvelo {

namespace {

using detail::InjectedWriteFault;
using detail::WriteStep;

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;
constexpr int kTempAttempts = 100;

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path the file really goes to: a symbolic link is followed to the file it
// names, so that the link stays a link. `exists` tells whether that file is there.
int ResolveTarget(const std::string& name, std::string& path, struct stat& st, bool& exists) {
  path = name;
  for (int hop = 0;; ++hop) {
    if (!path.empty() && path.back() == '/') return EISDIR;
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      exists = false;
      return 0;
    }
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      return 0;
    }
    if (hop == kMaxLinks) return ELOOP;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
    const ssize_t len = ::readlink(path.c_str(), link.data(), link.size());
    if (len < 0) return errno;
    if (static_cast<std::size_t>(len) >= link.size()) return ENAMETOOLONG;
    link.resize(static_cast<std::size_t>(len));
    path = link.front() == '/' ? link : DirectoryOf(path) + link;
  }
}

int WriteAll(int fd, std::string_view bytes) {
  if (const int e = InjectedWriteFault(WriteStep::Write)) return e;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int CloseChecked(int fd) {
  const int injected = InjectedWriteFault(WriteStep::Close);
  const int rc = ::close(fd);
  if (injected != 0) return injected;
  return rc != 0 && errno != EINTR ? errno : 0;
}

// A name beside the target that no one else uses; O_EXCL makes sure of it.
std::string TempName() {
  static std::uint64_t counter = 0;
  std::uint64_t x = static_cast<std::uint64_t>(
                        std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (static_cast<std::uint64_t>(::getpid()) << 32) ^
                    (++counter * 0x9E3779B97F4A7C15ULL);
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".tarvelo-";
  for (int i = 0; i < 8; ++i) {
    name += kChars[x % 36];
    x /= 36;
  }
  return name + ".tmp";
}

// Devices and FIFOs (/dev/null, /dev/full, a pipe) are written in place: they
// cannot, and must not, be replaced by a renamed file.
WriteOutcome WriteInPlace(const std::string& path, std::string_view bytes) {
  WriteOutcome out;
  if ((out.err = InjectedWriteFault(WriteStep::Create)) != 0) return out;
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    out.err = errno;
    return out;
  }
  out.created = true;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  out.err = WriteAll(fd, bytes);
  const int closed = CloseChecked(fd);
  if (out.err == 0) out.err = closed;
  return out;
}

// A regular file is written to a temporary file beside it, which replaces the
// target only when it is complete: a failed write leaves an earlier file as it
// was and no temporary file behind.
WriteOutcome WriteReplacing(const std::string& path, const struct stat* existing,
                            std::string_view bytes) {
  WriteOutcome out;
  if ((out.err = InjectedWriteFault(WriteStep::Create)) != 0) return out;
  const std::string dir = DirectoryOf(path);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < kTempAttempts && fd < 0; ++attempt) {
    temp = dir + TempName();
    // 0666 and the umask, as a newly created file gets.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && errno != EEXIST) {
      out.err = errno;
      return out;
    }
  }
  if (fd < 0) {
    out.err = EEXIST;
    return out;
  }
  out.created = true;
  // The replacement keeps the permission bits of the file it replaces.
  if (existing != nullptr) ::fchmod(fd, existing->st_mode & 0777);

  out.err = WriteAll(fd, bytes);
  if (out.err == 0) {
    out.err = InjectedWriteFault(WriteStep::Sync);
    if (out.err == 0 && ::fsync(fd) != 0) out.err = errno;
  }
  const int closed = CloseChecked(fd);
  if (out.err == 0) out.err = closed;
  if (out.err == 0) {
    out.err = InjectedWriteFault(WriteStep::Rename);
    if (out.err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) out.err = errno;
  }
  if (out.err != 0) ::unlink(temp.c_str());
  return out;
}

}  // namespace

WriteOutcome WriteFileSafely(const std::string& name, std::string_view bytes) {
  std::string path;
  struct stat st {};
  bool exists = false;
  WriteOutcome out;
  if ((out.err = ResolveTarget(name, path, st, exists)) != 0) return out;
  if (exists && S_ISDIR(st.st_mode)) {
    out.err = EISDIR;
    return out;
  }
  return exists && !S_ISREG(st.st_mode) ? WriteInPlace(path, bytes)
                                        : WriteReplacing(path, exists ? &st : nullptr, bytes);
}

}  // namespace tarvelo
