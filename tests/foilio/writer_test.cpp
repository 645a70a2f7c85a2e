// The writer where a careless replacement would lose or expose a file: write
// protection, links planted by another user, hard links, owners, read-only
// directories, pipes, and a program ended by a signal in the middle.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "foilio/file_errors.h"
#include "foilio/safe_write.h"
#include "support/test_support.h"

// close, fsync and fdatasync as the system would fail them, for files under
// one directory: the writer's fault hook answers before the system does, so
// only these show that the system's answer is heard.
namespace {
std::atomic<int> g_closeError{0};
std::atomic<int> g_syncError{0};
std::string g_failUnder;

bool FailsHere(int fd, const std::atomic<int>& error) {
  if (error == 0) return false;
  char path[4096];
  const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path);
  return n > 0 && std::string(path, static_cast<std::size_t>(n)).starts_with(g_failUnder);
}

template <class F>
F Next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

int Synced(const char* name, int fd) {
  if (FailsHere(fd, g_syncError)) return errno = g_syncError, -1;
  return Next<int (*)(int)>(name)(fd);
}
}  // namespace

extern "C" int close(int fd) {
  const bool fail = FailsHere(fd, g_closeError);
  const int rc = Next<int (*)(int)>("close")(fd);  // the descriptor is gone either way
  return fail ? (errno = g_closeError, -1) : rc;
}
extern "C" int fsync(int fd) { return Synced("fsync", fd); }
extern "C" int fdatasync(int fd) { return Synced("fdatasync", fd); }

namespace tarvelo {
namespace {

namespace fs = std::filesystem;
using detail::WriteStep;
using test::ReadBytes;
using test::WriteBytes;

constexpr uid_t kNobody = 65534;

// Runs `body` as a user other than root, in a child process when we are root
// (the checks of the kernel that matter here do not apply to root), and
// returns its result: 0 for success, else the number of the failed check.
int AsOtherUser(const std::function<int()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::string Message(const std::string& name) {
  try {
    WriteFileContents(name, "new\r\n");
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

int Entries(const fs::path& dir) {
  return static_cast<int>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(SafeWriteTest, RefusesWhatTheKernelWouldAndKeepsInodesOwnersAndModes) {
  test::TempDir tmp;
  fs::permissions(tmp.path(), fs::perms(0755));
  const std::string old = "earlier\r\n";

  // The steps of a replacement, fsync before the rename; the replacement keeps
  // the mode and, where we may set it, the owner.
  const std::string plain = tmp.file("plain.FOI");
  WriteBytes(plain, old);
  fs::permissions(plain, fs::perms(0640));
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(plain.c_str(), kNobody, kNobody), 0);
  }
  std::vector<WriteStep> steps;
  detail::SetWriteFaultHook([&steps](WriteStep s) { return steps.push_back(s), 0; });
  EXPECT_EQ(Message(plain), "");
  detail::SetWriteFaultHook(nullptr);
  using enum WriteStep;
  EXPECT_EQ(steps, (std::vector{Create, Write, Sync, Close, Rename}));
  struct stat st {};
  ASSERT_EQ(::stat(plain.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_TRUE(st.st_uid == kNobody && st.st_gid == kNobody);
  }

  // A file with two names is written where it stands: both show the new content.
  const std::string a = tmp.file("a.FOI"), b = tmp.file("b.FOI");
  WriteBytes(a, old);
  fs::create_hard_link(a, b);
  EXPECT_EQ(Message(b), "");
  EXPECT_EQ(ReadBytes(a), "new\r\n");
  EXPECT_TRUE(fs::equivalent(a, b));

  // A FIFO nobody reads, and a directory, are named for what they are.
  const std::string fifo = tmp.file("pipe.FOI");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Message(fifo), fifo + " - Output pipe has no reader !! ");
  EXPECT_EQ(Message(tmp.path().string()), tmp.path().string() + " - Output file is a directory !! ");

  // In a shared sticky directory (/tmp) a link of another user is not
  // followed, one of our own is.
  const fs::path shared = tmp.path() / "shared";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms(01777));
  const std::string target = tmp.file("target.FOI");
  WriteBytes(target, old);
  fs::create_symlink(target, shared / "ours.FOI");
  EXPECT_EQ(Message((shared / "ours.FOI").string()), "");
  EXPECT_EQ(ReadBytes(target), "new\r\n");
  if (root) {
    WriteBytes(target, old);
    fs::create_symlink(target, shared / "planted.FOI");
    ASSERT_EQ(::lchown((shared / "planted.FOI").c_str(), kNobody, kNobody), 0);
    const std::string planted = (shared / "planted.FOI").string();
    EXPECT_EQ(Message(planted), planted + " - Output file could not be written !! ");
    EXPECT_EQ(ReadBytes(target), old);
  }

  // As an ordinary user: a write-protected file is left as it is, as a
  // shell's redirection would; a writable file in a directory we may not
  // write to is written in place.
  const fs::path open = tmp.path() / "open", closed = tmp.path() / "closed";
  fs::create_directory(open);
  fs::create_directory(closed);
  fs::permissions(open, fs::perms(0777));
  const std::string locked = (open / "locked.FOI").string();
  const std::string inside = (closed / "inside.FOI").string();
  WriteBytes(locked, old);
  WriteBytes(inside, old);
  fs::permissions(locked, fs::perms(0444));
  fs::permissions(inside, fs::perms(0666));
  fs::permissions(closed, fs::perms(root ? 0755 : 0555));
  EXPECT_EQ(AsOtherUser([&] {
              if (Message(locked) != locked + " - Output file could not be written !! ") return 1;
              if (ReadBytes(locked) != old) return 2;
              if (Message(inside) != "") return 3;
              return ReadBytes(inside) == "new\r\n" && Entries(closed) == 1 ? 0 : 4;
            }),
            0);
  EXPECT_EQ(Entries(open), 1);
  fs::permissions(closed, fs::perms(0755));
}

// A disk that fails as the file is synced or closed (an I/O error, a quota
// reached on a network file system) fails the write. A file replaced keeps
// its earlier content; one written in place (two names) cannot.
TEST(SafeWriteTest, AFailedSyncOrCloseIsAFailedWrite) {
  test::TempDir tmp;
  g_failUnder = tmp.path().string() + "/";
  const std::string single = tmp.file("single.FOI"), linked = tmp.file("linked.FOI");
  WriteBytes(single, "earlier\r\n");
  WriteBytes(linked, "earlier\r\n");
  fs::create_hard_link(linked, tmp.file("other.FOI"));
  for (std::atomic<int>* error : {&g_syncError, &g_closeError}) {
    for (const std::string& name : {single, linked}) {
      *error = EIO;
      const std::string message = Message(name);
      *error = 0;
      EXPECT_EQ(message, name + " - Output file could not be written !! ");
      EXPECT_EQ(fs::hard_link_count(name), name == single ? 1u : 2u);
    }
    EXPECT_EQ(ReadBytes(single), "earlier\r\n");
    EXPECT_EQ(Entries(tmp.path()), 3);  // no temporary file left
  }
  EXPECT_EQ(Message(linked), "");
  EXPECT_EQ(ReadBytes(tmp.file("other.FOI")), "new\r\n");
}

// A program ended by a signal in the middle of a write leaves the earlier
// file and no temporary file.
TEST(SafeWriteTest, ASignalDuringAWriteRemovesTheTemporaryFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    test::TempDir tmp;
    const std::string target = tmp.file("out.FOI");
    WriteBytes(target, "earlier\r\n");
    const pid_t pid = ::fork();
    if (pid == 0) {
      RemoveTemporaryFileOnSignals();
      detail::SetWriteFaultHook([sig](WriteStep s) { return s == WriteStep::Write ? ::raise(sig) : 0; });
      WriteFileSafely(target, "new\r\n");
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
    EXPECT_EQ(Entries(tmp.path()), 1) << sig;
    EXPECT_EQ(ReadBytes(target), "earlier\r\n");
  }
}

}  // namespace
}  // namespace tarvelo
