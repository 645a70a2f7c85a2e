// Writing a whole file so that a failure never costs an earlier file.
#include "foilio/safe_write.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>

#include "foilio/file_errors.h"

namespace tarvelo {

namespace {

using detail::InjectedWriteFault;
using detail::WriteStep;

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;
constexpr int kTempAttempts = 100;

// The temporary file being written, for the signal handler to remove: the
// handler may only read what is complete, so the name is filled before the
// flag is set and the flag cleared before the name changes.
char g_tempName[PATH_MAX + 1];
volatile std::sig_atomic_t g_tempPending = 0;

void RemoveTempAndEnd(int sig) {
  if (g_tempPending) ::unlink(g_tempName);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

class PendingTemp {
 public:
  explicit PendingTemp(const std::string& name) {
    if (name.size() > PATH_MAX) return;
    std::memcpy(g_tempName, name.c_str(), name.size() + 1);
    g_tempPending = 1;
  }
  ~PendingTemp() { g_tempPending = 0; }
  PendingTemp(const PendingTemp&) = delete;
  PendingTemp& operator=(const PendingTemp&) = delete;
};

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A link is followed only where the kernel follows one with
// fs.protected_symlinks: in a sticky, world-writable directory (/tmp) only a
// link owned by the caller or by the directory's owner. Otherwise another user
// could plant a link that makes a run of ours replace any file we may write.
bool MayFollow(const std::string& link, const struct stat& st) {
  if (st.st_uid == ::geteuid()) return true;
  const std::string dir = DirectoryOf(link);
  struct stat ds {};
  if (::stat(dir.empty() ? "." : dir.c_str(), &ds) != 0) return false;
  const bool shared = (ds.st_mode & S_ISVTX) != 0 && (ds.st_mode & S_IWOTH) != 0;
  return !shared || ds.st_uid == st.st_uid;
}

// The path the file really goes to: a symbolic link is followed to the file it
// names, so that the link stays a link. `exists` tells whether that file is there.
int ResolveTarget(const std::string& name, std::string& path, struct stat& st, bool& exists) {
  path = name;
  for (int hop = 0;; ++hop) {
    // A name ending in a separator names a directory, never a file.
    if (!path.empty() && path.back() == '/') return EINVAL;
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
    if (!MayFollow(path, st)) return EACCES;
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

// The content reaches the disk before it counts as written: a crash must not
// leave a renamed but empty file.
int Sync(int fd) {
  if (const int e = InjectedWriteFault(WriteStep::Sync)) return e;
  return ::fsync(fd) != 0 ? errno : 0;
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

// Written where it stands: devices and FIFOs (/dev/null, a pipe), which
// cannot be replaced by a renamed file, and regular files that must keep
// their inode (several hard links, or a directory we may not write to). The
// new content is complete in memory before the file is truncated.
WriteOutcome WriteInPlace(const std::string& path, const struct stat& st, std::string_view bytes) {
  WriteOutcome out;
  if ((out.err = InjectedWriteFault(WriteStep::Create)) != 0) return out;
  const bool regular = S_ISREG(st.st_mode);
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_CLOEXEC | O_NOCTTY | (regular ? O_TRUNC : O_NONBLOCK));
  if (fd < 0) {
    // A FIFO opened without blocking has no reader when it says ENXIO.
    out.err = S_ISFIFO(st.st_mode) && errno == ENXIO ? EPIPE : errno;
    return out;
  }
  out.created = true;
  if (!regular) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  out.err = WriteAll(fd, bytes);
  if (out.err == 0 && regular) out.err = Sync(fd);
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
      const int err = errno;
      // A writable file in a directory we may not write to is written in place.
      if (existing != nullptr && (err == EACCES || err == EPERM))
        return WriteInPlace(path, *existing, bytes);
      out.err = err;
      return out;
    }
  }
  if (fd < 0) {
    out.err = EEXIST;
    return out;
  }
  const PendingTemp pending(temp);
  out.created = true;
  if (existing != nullptr) {
    // The replacement keeps the permission bits, and the owner and group where
    // we may set them (root rewriting a user's file; a user's own group).
    ::fchmod(fd, existing->st_mode & 07777);
    if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid);
    }
  }

  out.err = WriteAll(fd, bytes);
  if (out.err == 0) out.err = Sync(fd);
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
  if (!exists) return WriteReplacing(path, nullptr, bytes);
  if (S_ISDIR(st.st_mode)) {
    out.err = EISDIR;
    return out;
  }
  if (!S_ISREG(st.st_mode)) return WriteInPlace(path, st, bytes);
  // Where a shell's redirection would be refused, so are we: a file that is
  // write-protected against the caller is not replaced behind its back.
  if (::access(path.c_str(), W_OK) != 0) {
    out.err = errno;
    return out;
  }
  return st.st_nlink > 1 ? WriteInPlace(path, st, bytes) : WriteReplacing(path, &st, bytes);
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  namespace fs = std::filesystem;
  std::error_code ea;
  std::error_code eb;
  const bool hasA = fs::exists(a, ea);
  const bool hasB = fs::exists(b, eb);
  if (hasA && hasB) return fs::equivalent(a, b, ea) && !ea;
  if (hasA || hasB) return false;
  return fs::weakly_canonical(a, ea) == fs::weakly_canonical(b, eb) && !ea && !eb;
}

void InstallTemporaryFileCleanup() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction now {};
    if (::sigaction(sig, nullptr, &now) != 0 || now.sa_handler == SIG_IGN) continue;
    struct sigaction act {};
    act.sa_handler = RemoveTempAndEnd;
    sigemptyset(&act.sa_mask);
    ::sigaction(sig, &act, nullptr);
  }
}

}  // namespace tarvelo
