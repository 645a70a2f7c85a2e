// Writing a whole file so that a failure never costs an earlier file.
#include "foilio/safe_write.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "foilio/file_errors.h"

namespace tarvelo {

namespace {

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;
constexpr int kTempAttempts = 100;

// What the signal handler must know of the writes under way, the one
// process-wide state of the library: a handler is given nothing but the
// signal's number.
//
// The temporary files that writes in any thread have pending, for the signal
// handler to remove. A record is made once and never freed, so the handler
// may walk the list at any moment without a lock; a write claims a free
// record, or adds one at the head. Its name changes only while it is claimed
// but not yet pending, and each claim counts up its generation, so the
// handler can tell a name it copied whole from one a new claim overwrote.
struct PendingRecord {
  enum State : int { kFree, kFilling, kPending };
  std::atomic<int> state{kFilling};
  std::atomic<unsigned> generation{0};
  char name[PATH_MAX + 1] = {};
  PendingRecord* next = nullptr;  // set before the record is published, then fixed
};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<unsigned>::is_always_lock_free,
              "the signal handler reads the records");

std::atomic<PendingRecord*> g_pending{nullptr};

// The files that threads are rewriting in place, counted; and the signal that
// is ending the program, once one has come.
std::atomic<int> g_rewrites{0};
std::atomic<int> g_ending{0};

// The signals that end a program and may be caught: each removes the pending
// temporary files, and each is held off while a file is rewritten in place.
// SIGPIPE too: a program writing to a closed pipe ends as it would have, or,
// where it ignores SIGPIPE, goes on to hear EPIPE.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1, SIGUSR2,
                                  SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGPIPE};

sigset_t EndingSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int sig : kEndingSignals) sigaddset(&set, sig);
  return set;
}

void RemoveTempsAndEnd(int sig) {
  int none = 0;
  g_ending.compare_exchange_strong(none, sig);
  // A file that another thread is rewriting in place would be left half new:
  // the last rewrite to finish sends the signal again.
  if (g_rewrites.load() > 0) return;
  for (PendingRecord* r = g_pending.load(std::memory_order_acquire); r != nullptr; r = r->next) {
    const unsigned generation = r->generation.load(std::memory_order_acquire);
    if (r->state.load(std::memory_order_acquire) != PendingRecord::kPending) continue;
    char name[PATH_MAX + 1];
    std::memcpy(name, r->name, sizeof name);
    name[PATH_MAX] = '\0';
    if (r->state.load(std::memory_order_acquire) == PendingRecord::kPending &&
        r->generation.load(std::memory_order_acquire) == generation)
      ::unlink(name);
  }
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// A temporary file's name, pending from before the file is created until it
// is renamed or removed: a signal at any moment between leaves no file.
class PendingTemp {
 public:
  explicit PendingTemp(const std::string& name) {
    if (name.size() > PATH_MAX) return;  // open() refuses such a name anyway
    record_ = Claim();
    std::memcpy(record_->name, name.c_str(), name.size() + 1);
    record_->state.store(PendingRecord::kPending, std::memory_order_release);
  }
  ~PendingTemp() {
    if (record_ != nullptr) record_->state.store(PendingRecord::kFree, std::memory_order_release);
  }
  PendingTemp(const PendingTemp&) = delete;
  PendingTemp& operator=(const PendingTemp&) = delete;

 private:
  static PendingRecord* Claim() {
    for (PendingRecord* r = g_pending.load(std::memory_order_acquire); r != nullptr; r = r->next) {
      int free = PendingRecord::kFree;
      if (r->state.compare_exchange_strong(free, PendingRecord::kFilling, std::memory_order_acq_rel)) {
        r->generation.fetch_add(1, std::memory_order_acq_rel);
        return r;
      }
    }
    auto* r = new PendingRecord;  // kept for the life of the program
    r->next = g_pending.load(std::memory_order_relaxed);
    while (!g_pending.compare_exchange_weak(r->next, r, std::memory_order_release, std::memory_order_relaxed)) {
    }
    return r;
  }

  PendingRecord* record_ = nullptr;
};

// While a file's content is rewritten in place and cut to its new length,
// the signals that would end the program wait, since a program ended in
// between would leave the new content followed by the rest of the earlier
// one. This thread blocks them; the handler of RemoveTemporaryFileOnSignals,
// run by another thread, leaves the ending to the last rewrite under way.
// Only where no such handler is installed may another thread's default
// action still end the program half-way, and SIGKILL always can.
class HeldSignals {
 public:
  HeldSignals() {
    const sigset_t set = EndingSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &before_);
    g_rewrites.fetch_add(1);
  }
  ~HeldSignals() {
    const bool last = g_rewrites.fetch_sub(1) == 1;
    ::pthread_sigmask(SIG_SETMASK, &before_, nullptr);  // a signal held in this thread acts now
    const int ending = g_ending.load();
    if (last && ending != 0) ::kill(::getpid(), ending);
  }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

  // True once the program is ending: a rewrite begun now would be cut short.
  // Asked once the count is up, so that a handler either sees this rewrite
  // or is seen by it.
  static bool Ending() { return g_ending.load() != 0; }

 private:
  sigset_t before_;
};

// The faults a test gave one write, asked at each step.
class Faults {
 public:
  explicit Faults(const WriteFaults* faults) : faults_(faults != nullptr && *faults ? faults : nullptr) {}
  int At(WriteStep step) const { return faults_ != nullptr ? (*faults_)(step) : 0; }

 private:
  const WriteFaults* faults_;
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

// `touched` turns true once a byte has reached the file.
int WriteAll(int fd, std::string_view bytes, const Faults& faults, bool& touched) {
  if (const int e = faults.At(WriteStep::Write)) return e;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    touched = true;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Room for the whole new content is claimed before its first byte is
// written, so that a full disk or quota fails the write while the earlier
// content is whole. Blocks past the end are claimed without changing the
// file's length. A file system that claims none ahead (EOPNOTSUPP) is
// written without: should that write fail part-way, the file is reported
// damaged. On a copy-on-write file system an overwrite may need new blocks
// all the same.
int Reserve(int fd, std::size_t size) {
#ifdef FALLOC_FL_KEEP_SIZE
  if (size == 0) return 0;
  while (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0) {
    if (errno == EINTR) continue;
    return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
  }
#else
  static_cast<void>(fd);
  static_cast<void>(size);
#endif
  return 0;
}

// The new content over the earlier one, then the file cut to its length,
// with the ending signals held.
int Rewrite(int fd, std::string_view bytes, const Faults& faults, bool& touched) {
  const HeldSignals held;
  if (HeldSignals::Ending()) return EINTR;
  if (const int e = WriteAll(fd, bytes, faults, touched)) return e;
  if (const int e = faults.At(WriteStep::Truncate)) return e;
  while (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

// A file longer than the process may write (RLIMIT_FSIZE) is refused before
// a byte is written: written, it would stop at the limit, half new. Devices
// and FIFOs have no size to limit.
int CheckSizeLimit(std::size_t size) {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
  return size > limit.rlim_cur ? EFBIG : 0;
}

// The content reaches the disk before it counts as written: a crash must not
// leave a renamed but empty file.
int Sync(int fd, const Faults& faults) {
  if (const int e = faults.At(WriteStep::Sync)) return e;
  return ::fsync(fd) != 0 ? errno : 0;
}

int CloseChecked(int fd, const Faults& faults) {
  const int injected = faults.At(WriteStep::Close);
  const int rc = ::close(fd);
  if (injected != 0) return injected;
  return rc != 0 && errno != EINTR ? errno : 0;
}

// A name beside the target that no one else uses; O_EXCL makes sure of it.
std::string TempName() {
  // Each thread draws its own; the process id and the clock keep processes
  // and runs apart.
  thread_local std::uint64_t counter = std::random_device{}();
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
// their inode (several hard links, or a directory we may not write to).
//
// A regular file is locked while it is written, so that writers in other
// threads and processes take turns instead of mixing their contents. Room
// for the new content is claimed first, then the content is overwritten and
// the file cut to its new length with the ending signals held, so that
// neither a full disk nor a signal costs the earlier content. Once a byte
// has changed, a failure leaves the file damaged, and says so.
WriteOutcome WriteInPlace(const std::string& path, const struct stat& st, std::string_view bytes,
                          const Faults& faults) {
  WriteOutcome out;
  if ((out.err = faults.At(WriteStep::Create)) != 0) return out;
  const bool regular = S_ISREG(st.st_mode);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (regular ? 0 : O_NONBLOCK));
  if (fd < 0) {
    // A FIFO opened without blocking has no reader when it says ENXIO.
    out.err = S_ISFIFO(st.st_mode) && errno == ENXIO ? EPIPE : errno;
    return out;
  }
  out.created = true;
  bool touched = false;
  if (regular) {
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        out.err = errno;
        break;
      }
    }
    if (out.err == 0) out.err = faults.At(WriteStep::Created);
    if (out.err == 0) out.err = CheckSizeLimit(bytes.size());
    if (out.err == 0) out.err = Reserve(fd, bytes.size());
    if (out.err == 0) out.err = Rewrite(fd, bytes, faults, touched);
    if (out.err == 0) out.err = Sync(fd, faults);
  } else {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    out.err = WriteAll(fd, bytes, faults, touched);
  }
  const int closed = CloseChecked(fd, faults);  // which also ends the lock
  if (out.err == 0) out.err = closed;
  out.damaged = regular && touched && out.err != 0;
  return out;
}

// A regular file is written to a temporary file beside it, which replaces the
// target only when it is complete: a failed write leaves an earlier file as it
// was and no temporary file behind.
WriteOutcome WriteReplacing(const std::string& path, const struct stat* existing,
                            std::string_view bytes, const Faults& faults) {
  WriteOutcome out;
  if ((out.err = faults.At(WriteStep::Create)) != 0) return out;
  const std::string dir = DirectoryOf(path);
  std::string temp;
  std::optional<PendingTemp> pending;
  int fd = -1;
  for (int attempt = 0; attempt < kTempAttempts && fd < 0; ++attempt) {
    temp = dir + TempName();
    // Pending before it exists: a signal as the file appears removes it too.
    pending.emplace(temp);
    // 0666 and the umask, as a newly created file gets.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    const int err = errno;
    if (fd < 0) pending.reset();
    if (fd < 0 && err != EEXIST) {
      // A writable file in a directory we may not write to is written in place.
      if (existing != nullptr && (err == EACCES || err == EPERM))
        return WriteInPlace(path, *existing, bytes, faults);
      out.err = err;
      return out;
    }
  }
  if (fd < 0) {
    out.err = EEXIST;
    return out;
  }
  out.created = true;
  out.err = faults.At(WriteStep::Created);
  if (out.err == 0) out.err = CheckSizeLimit(bytes.size());
  if (out.err == 0 && existing != nullptr) {
    // The replacement keeps the permission bits, and the owner and group where
    // we may set them (root rewriting a user's file; a user's own group).
    ::fchmod(fd, existing->st_mode & 07777);
    if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid);
    }
  }

  bool touched = false;  // the temporary file's bytes alone
  if (out.err == 0) out.err = WriteAll(fd, bytes, faults, touched);
  if (out.err == 0) out.err = Sync(fd, faults);
  const int closed = CloseChecked(fd, faults);
  if (out.err == 0) out.err = closed;
  if (out.err == 0) {
    out.err = faults.At(WriteStep::Rename);
    if (out.err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) out.err = errno;
  }
  if (out.err != 0) ::unlink(temp.c_str());
  return out;
}

// True when sig does what the system does by default: a signal the program
// ignores, or handles itself, is left to it.
bool Unhandled(int sig) {
  struct sigaction now {};
  return ::sigaction(sig, nullptr, &now) == 0 && (now.sa_flags & SA_SIGINFO) == 0 && now.sa_handler == SIG_DFL;
}

}  // namespace

WriteOutcome WriteFileSafely(const std::string& name, std::string_view bytes, const WriteFaults* faults) {
  const Faults steps(faults);
  std::string path;
  struct stat st {};
  bool exists = false;
  WriteOutcome out;
  if ((out.err = ResolveTarget(name, path, st, exists)) != 0) return out;
  if (!exists) return WriteReplacing(path, nullptr, bytes, steps);
  if (S_ISDIR(st.st_mode)) {
    out.err = EISDIR;
    return out;
  }
  if (!S_ISREG(st.st_mode)) return WriteInPlace(path, st, bytes, steps);
  // Where a shell's redirection would be refused, so are we: a file that is
  // write-protected against the caller is not replaced behind its back.
  if (::access(path.c_str(), W_OK) != 0) {
    out.err = errno;
    return out;
  }
  return st.st_nlink > 1 ? WriteInPlace(path, st, bytes, steps) : WriteReplacing(path, &st, bytes, steps);
}

Error WriteError(const std::string& name, const WriteOutcome& out) {
  const detail::OpenCause cause = out.damaged ? detail::OpenCause::Damaged : detail::ClassifyOutputError(out.err);
  return detail::OutputError(name, cause, out.err);
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
  for (const int sig : kEndingSignals) {
    if (!Unhandled(sig)) continue;
    struct sigaction act {};
    act.sa_handler = RemoveTempsAndEnd;
    // A call interrupted by a signal left waiting for a rewrite goes on.
    act.sa_flags = SA_RESTART;
    act.sa_mask = EndingSet();
    ::sigaction(sig, &act, nullptr);
  }
  // A write past the file-size limit then fails with EFBIG, which is
  // reported, instead of ending the program with its temporary file left.
  if (Unhandled(SIGXFSZ)) std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace tarvelo
