// The writer where a careless replacement would lose or expose a file: write
// protection, links planted by another user, hard links, owners, read-only
// directories, pipes, and a program ended by a signal in the middle.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "foilio/file_errors.h"
#include "foilio/safe_write.h"
#include "support/test_support.h"

// close, fsync and fdatasync as the system would fail them, for files under
// one directory: the faults given to a write answer before the system does, so
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

std::string Message(const std::string& name, const std::string& bytes = "new\r\n") {
  try {
    WriteFileContents(name, bytes);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

int Entries(const fs::path& dir) {
  return static_cast<int>(std::distance(fs::directory_iterator(dir), {}));
}

// Runs `child` in a forked process, which dumps no core, and returns how it
// ended: the child's result as its exit status, or 100 + the signal that
// ended it.
int InChild(const std::function<int()>& child) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const struct rlimit none {};
    ::setrlimit(RLIMIT_CORE, &none);
    ::_exit(child());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
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
  const WriteFaults record = [&steps](WriteStep s) { return steps.push_back(s), 0; };
  EXPECT_EQ(WriteFileSafely(plain, "new\r\n", &record).err, 0);
  using enum WriteStep;
  EXPECT_EQ(steps, (std::vector{Create, Created, Write, Sync, Close, Rename}));
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
  EXPECT_EQ(Message(fifo), fifo + ": output pipe has no reader");
  EXPECT_EQ(Message(tmp.path().string()), tmp.path().string() + ": output file is a directory");

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
    EXPECT_EQ(Message(planted), planted + ": output file could not be written: permission denied");
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
              if (Message(locked) != locked + ": output file could not be written: permission denied") return 1;
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
// its earlier content; one written in place (two names) holds the new one,
// which may not have reached the disk, and is said to be damaged.
TEST(SafeWriteTest, AFailedSyncOrCloseIsAFailedWrite) {
  test::TempDir tmp;
  g_failUnder = tmp.path().string() + "/";
  const std::string single = tmp.file("single.FOI"), linked = tmp.file("linked.FOI");
  WriteBytes(single, "earlier\r\n");
  WriteBytes(linked, "earlier\r\n");
  fs::create_hard_link(linked, tmp.file("other.FOI"));
  const std::string cant = ": output file could not be written: input/output error";
  const std::string damaged = ": output file could not be written and is damaged: input/output error";
  for (std::atomic<int>* error : {&g_syncError, &g_closeError}) {
    for (const auto& [name, message, after] :
         {std::tuple(single, single + cant, "earlier\r\n"), std::tuple(linked, linked + damaged, "new\r\n")}) {
      WriteBytes(linked, "earlier\r\n");
      *error = EIO;
      const std::string said = Message(name);
      *error = 0;
      EXPECT_EQ(std::tuple(said, ReadBytes(name)), std::tuple(message, after));
      EXPECT_EQ(fs::hard_link_count(name), name == single ? 1u : 2u);
    }
    EXPECT_EQ(Entries(tmp.path()), 3);  // no temporary file left
  }
  EXPECT_EQ(Message(linked), "");
  EXPECT_EQ(ReadBytes(tmp.file("other.FOI")), "new\r\n");
}

// A step that fails ends the write with its errno. A replaced file is kept
// at every step; one written in place until its content changes, after
// which it is damaged: the new content over the earlier one, uncut. No
// temporary file is left. A write in place has no rename, a replacement no
// cut.
TEST(SafeWriteTest, AFailedStepEndsTheWriteWithItsErrno) {
  test::TempDir tmp;
  const std::string single = tmp.file("single.FOI"), linked = tmp.file("linked.FOI");
  WriteBytes(linked, "");
  fs::create_hard_link(linked, tmp.file("other.FOI"));
  const std::string old = "earlier\r\n", now = "new\r\n";
  using enum WriteStep;
  const struct {
    std::string name;
    WriteStep step;
    int err;
    bool created, damaged;
    std::string after;
  } rows[] = {
      {single, Create, EXDEV, false, false, old}, {single, Created, EXDEV, true, false, old},
      {single, Write, EXDEV, true, false, old},   {single, Truncate, 0, true, false, now},
      {single, Sync, EXDEV, true, false, old},    {single, Close, EXDEV, true, false, old},
      {single, Rename, EXDEV, true, false, old},  {linked, Create, EXDEV, false, false, old},
      {linked, Created, EXDEV, true, false, old}, {linked, Write, EXDEV, true, false, old},
      {linked, Truncate, EXDEV, true, true, "new\r\ner\r\n"},
      {linked, Sync, EXDEV, true, true, now},     {linked, Close, EXDEV, true, true, now},
      {linked, Rename, 0, true, false, now},
  };
  for (const auto& r : rows) {
    WriteBytes(single, old);
    WriteBytes(linked, old);
    const WriteFaults fail = [&r](WriteStep s) { return s == r.step ? EXDEV : 0; };
    const WriteOutcome out = WriteFileSafely(r.name, now, &fail);
    EXPECT_EQ(std::tuple(out.err, out.created, out.damaged, ReadBytes(r.name)),
              std::tuple(r.err, r.created, r.damaged, r.after))
        << r.name << " " << static_cast<int>(r.step);
    EXPECT_EQ(Entries(tmp.path()), 3);
  }
}

// A file system of 64 KiB of its own, mounted on a new folder for as long
// as this lives, so that a test can fill a disk.
class SmallDisk {
 public:
  explicit SmallDisk(const fs::path& at) : at_(at) {
    fs::create_directory(at);
    if (::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") != 0) error_ = std::strerror(errno);
  }
  ~SmallDisk() {
    if (error_.empty()) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  const std::string& error() const { return error_; }
  std::string file(const std::string& name) const { return (at_ / name).string(); }

  // Takes every page that is left: a page's worth more fails.
  void Fill() const {
    const int fd = ::open(file("filler").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    const std::string page(4096, 'f');
    while (::write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size())) {
    }
    ::close(fd);
  }

 private:
  fs::path at_;
  std::string error_;
};

// On a full disk, a file with two names that would grow by a byte past the
// page it holds is refused before it changes: room is claimed first. Up to
// the end of that page it is written. A replacement needs pages of its own.
TEST(SafeWriteTest, AFullDiskFailsBeforeTheEarlierFileChanges) {
  test::TempDir tmp;
  const SmallDisk disk(tmp.path() / "disk");
  if (!disk.error().empty()) GTEST_SKIP() << "no 64 KiB tmpfs to fill (mounting one needs root): " << disk.error();
  const std::string t = disk.file("t.txt"), t2 = disk.file("t2.txt"), single = disk.file("single.txt");
  const std::string old = "earlier rows\r\n", page(4096, 'p');
  WriteBytes(t, old);
  fs::create_hard_link(t, t2);
  WriteBytes(single, old);
  disk.Fill();
  const std::string full = ": output file could not be written: no room left on the device";
  const struct {
    std::string name, bytes, message, after;
  } rows[] = {
      {t, page + "q", t + full, old},
      {single, "x", single + full, old},
      {t, page, "", page},
  };
  for (const auto& r : rows) {
    const std::string said = Message(r.name, r.bytes);
    EXPECT_EQ(std::tuple(said, ReadBytes(r.name)), std::tuple(r.message, r.after)) << r.bytes.size();
    EXPECT_TRUE(fs::equivalent(t, t2));
    EXPECT_EQ(Entries(disk.file("")), 4);
  }
}

// The signals that end a program and may be caught.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1, SIGUSR2,
                                  SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGPIPE};

// A program ended by any of them in the middle of a write, or just as its
// temporary file appears, ends by that signal and leaves the earlier file
// and no temporary file. One that the program ignores, or handles itself,
// is left to it: the write goes on.
std::atomic<int> g_handled{0};

TEST(SafeWriteTest, ASignalDuringAWriteRemovesTheTemporaryFile) {
  enum Disposition { kDefault, kIgnored, kOwnHandler };
  for (const Disposition was : {kDefault, kIgnored, kOwnHandler}) {
    for (const WriteStep at : {WriteStep::Created, WriteStep::Write}) {
      for (const int sig : kEndingSignals) {
        test::TempDir tmp;
        const std::string target = tmp.file("out.FOI");
        WriteBytes(target, "earlier\r\n");
        EXPECT_EQ(InChild([&] {
                    if (was == kIgnored) std::signal(sig, SIG_IGN);
                    if (was == kOwnHandler) std::signal(sig, [](int s) { g_handled = s; });
                    RemoveTemporaryFileOnSignals();
                    const WriteFaults raise = [sig, at](WriteStep s) { return s == at ? ::raise(sig) : 0; };
                    const int err = WriteFileSafely(target, "new\r\n", &raise).err;
                    return err != 0 ? err : was == kOwnHandler && g_handled != sig ? 1 : 0;
                  }),
                  was == kDefault ? 100 + sig : 0)
            << sig << " at " << static_cast<int>(at) << " as " << was;
        EXPECT_EQ(Entries(tmp.path()), 1) << sig;
        EXPECT_EQ(ReadBytes(target), was == kDefault ? "earlier\r\n" : "new\r\n") << sig;
      }
    }
  }
}

// A file larger than the process may write (RLIMIT_FSIZE) is refused before
// a byte is written, replaced or written in place, even where SIGXFSZ would
// end the program: "file too large", the earlier file kept, no temporary
// file. One as long as the limit is written. A missing folder is said first.
TEST(SafeWriteTest, AFileLargerThanTheSizeLimitIsRefusedWhole) {
  constexpr rlim_t kLimit = 64;
  test::TempDir tmp;
  const std::string single = tmp.file("single.FOI"), a = tmp.file("a.FOI"), b = tmp.file("b.FOI");
  const std::string old = "earlier\r\n", at(kLimit, 'x'), beyond = at + "y";
  WriteBytes(a, "");
  fs::create_hard_link(a, b);
  const std::string large = ": output file could not be written: file too large";
  const struct {
    std::string name, bytes, message, after;
  } rows[] = {
      {single, beyond, single + large, old}, {single, at, "", at},
      {b, beyond, b + large, old},           {b, at, "", at},
      {tmp.file("no/new.FOI"), beyond, tmp.file("no/new.FOI") + ": output file could not be written: no such folder",
       ""},
  };
  for (const auto& r : rows) {
    WriteBytes(single, old);
    WriteBytes(a, old);
    EXPECT_EQ(InChild([&] {
                const struct rlimit limit = {kLimit, RLIM_INFINITY};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                return Message(r.name, r.bytes) == r.message ? 0 : 1;
              }),
              0)
        << r.name << " " << r.bytes.size();
    EXPECT_EQ(ReadBytes(r.name), r.after);
    EXPECT_EQ(Entries(tmp.path()), 3);
  }
}

// A limit lowered once a write has begun stops it at the limit. With
// RemoveTemporaryFileOnSignals, SIGXFSZ is ignored and the write fails with
// EFBIG: a replaced file is kept; one written in place is damaged, and holds
// the new content up to the limit, the earlier one after.
TEST(SafeWriteTest, AWriteStoppedAtTheSizeLimitFailsInsteadOfEndingTheProgram) {
  constexpr rlim_t kLimit = 4;
  test::TempDir tmp;
  const std::string single = tmp.file("single.FOI"), a = tmp.file("a.FOI"), b = tmp.file("b.FOI");
  const std::string old = "earlier rows\r\n", now = "new content\r\n";
  WriteBytes(a, "");
  fs::create_hard_link(a, b);
  const struct {
    std::string name, message, after;
  } rows[] = {
      {single, single + ": output file could not be written: file too large", old},
      {b, b + ": output file could not be written and is damaged: file too large", "new ier rows\r\n"},
  };
  for (const auto& r : rows) {
    WriteBytes(single, old);
    WriteBytes(a, old);
    EXPECT_EQ(InChild([&] {
                RemoveTemporaryFileOnSignals();
                const WriteFaults lower = [](WriteStep s) {
                  const struct rlimit limit = {kLimit, RLIM_INFINITY};
                  return s == WriteStep::Write ? ::setrlimit(RLIMIT_FSIZE, &limit) : 0;
                };
                const WriteOutcome out = WriteFileSafely(r.name, now, &lower);
                return std::string(WriteError(r.name, out).what()) == r.message ? 0 : 1;
              }),
              0)
        << r.name;
    EXPECT_EQ(ReadBytes(r.name), r.after);
    EXPECT_EQ(Entries(tmp.path()), 3);
  }
}

// A signal that comes as a file is rewritten in place, before its first
// byte or between the write and the cut, waits until the file holds the
// whole new content; then it ends the program, whether
// RemoveTemporaryFileOnSignals was called or not.
TEST(SafeWriteTest, ASignalWaitsUntilAFileRewrittenInPlaceIsWhole) {
  test::TempDir tmp;
  const std::string a = tmp.file("a.FOI"), b = tmp.file("b.FOI");
  const std::string old = std::string(300, 'o') + "\r\n", now = "new\r\n";
  WriteBytes(a, old);
  fs::create_hard_link(a, b);
  for (const bool cleanup : {false, true}) {
    for (const WriteStep at : {WriteStep::Write, WriteStep::Truncate}) {
      for (const int sig : kEndingSignals) {
        WriteBytes(a, old);
        EXPECT_EQ(InChild([&] {
                    if (cleanup) RemoveTemporaryFileOnSignals();
                    const WriteFaults raise = [sig, at](WriteStep s) { return s == at ? ::raise(sig) : 0; };
                    return WriteFileSafely(b, now, &raise).err;
                  }),
                  100 + sig)
            << sig << " at " << static_cast<int>(at);
        EXPECT_EQ(ReadBytes(a), now) << sig << " at " << static_cast<int>(at);
      }
    }
  }
  EXPECT_EQ(Entries(tmp.path()), 2);
}

// In a program with other threads, a signal that another thread takes as a
// file is rewritten in place ends the program once the file is whole.
TEST(SafeWriteTest, ASignalToAnotherThreadWaitsForTheRewriteInPlace) {
  test::TempDir tmp;
  const std::string a = tmp.file("a.FOI"), b = tmp.file("b.FOI");
  const std::string old = std::string(300, 'o') + "\r\n", now = "new\r\n";
  WriteBytes(a, old);
  fs::create_hard_link(a, b);
  EXPECT_EQ(InChild([&] {
              RemoveTemporaryFileOnSignals();
              std::atomic<bool> cutting{false};
              // The writer waits between its write and its cut.
              const WriteFaults slow = [&cutting](WriteStep s) {
                if (s == WriteStep::Truncate) {
                  cutting = true;
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
                }
                return 0;
              };
              std::thread writer([&] { WriteFileSafely(b, now, &slow); });
              while (!cutting) std::this_thread::yield();
              ::kill(::getpid(), SIGTERM);  // taken by this thread: the writer holds it off
              writer.join();
              std::this_thread::sleep_for(std::chrono::seconds(2));  // for the signal to end it
              return 0;
            }),
            100 + SIGTERM);
  EXPECT_EQ(ReadBytes(a), now);
}

// Several threads with writes pending at once: a signal removes every one of
// their temporary files.
TEST(SafeWriteTest, ASignalRemovesTheTemporaryFilesOfEveryThread) {
  constexpr int kThreads = 4;
  test::TempDir tmp;
  for (int t = 0; t < kThreads; ++t) WriteBytes(tmp.file(std::to_string(t) + ".FOI"), "earlier\r\n");
  EXPECT_EQ(InChild([&] {
              RemoveTemporaryFileOnSignals();
              std::atomic<int> waiting{0};
              // Each write stops once its temporary file holds nothing yet.
              const WriteFaults stop = [&waiting](WriteStep s) {
                if (s == WriteStep::Write) {
                  ++waiting;
                  for (;;) ::pause();
                }
                return 0;
              };
              std::vector<std::thread> threads;
              for (int t = 0; t < kThreads; ++t)
                threads.emplace_back(
                    [&, t] { WriteFileSafely(tmp.file(std::to_string(t) + ".FOI"), "new\r\n", &stop); });
              while (waiting < kThreads) std::this_thread::yield();
              if (Entries(tmp.path()) != 2 * kThreads) return 1;
              ::kill(::getpid(), SIGTERM);
              for (;;) ::pause();
            }),
            100 + SIGTERM);
  EXPECT_EQ(Entries(tmp.path()), kThreads);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(ReadBytes(tmp.file(std::to_string(t) + ".FOI")), "earlier\r\n");
}

// The content thread t writes in its round r: of a length of its own, so
// that a mix of two writes shows.
std::string Content(int t, int r) {
  return std::string(static_cast<std::size_t>(100 + 37 * t + r), static_cast<char>('a' + t)) + "\r\n";
}

// Eight threads at once, each to its own file, then all to one: every file
// is some writer's whole content, and no temporary file is left.
TEST(SafeWriteTest, ThreadsWriteAtOnceEachFileWhole) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 40;
  test::TempDir tmp;
  const std::string shared = tmp.file("shared.FOI");
  const auto run = [&](const std::function<std::string(int)>& target) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        for (int r = 0; r < kRounds; ++r) WriteFileContents(target(t), Content(t, r));
      });
    for (std::thread& th : threads) th.join();
  };
  run([&](int t) { return tmp.file(std::to_string(t) + ".FOI"); });
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(ReadBytes(tmp.file(std::to_string(t) + ".FOI")), Content(t, kRounds - 1));
  run([&](int) { return shared; });
  const std::string last = ReadBytes(shared);
  bool whole = false;
  for (int t = 0; t < kThreads; ++t) whole = whole || last == Content(t, kRounds - 1);
  EXPECT_TRUE(whole) << last;
  EXPECT_EQ(Entries(tmp.path()), kThreads + 1);
}

// A file with several names is written where it stands: writers in other
// processes take turns, and one killed half-way leaves the earlier content.
TEST(SafeWriteTest, InPlaceWritesTakeTurnsAndAKillLeavesTheEarlierContent) {
  constexpr int kWriters = 20;
  test::TempDir tmp;
  const std::string a = tmp.file("a.FOI"), b = tmp.file("b.FOI");
  WriteBytes(a, "earlier\r\n");
  fs::create_hard_link(a, b);
  for (int round = 0; round < 3; ++round) {
    std::vector<pid_t> pids;
    for (int w = 0; w < kWriters; ++w) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        for (int r = 0; r < 20; ++r) WriteFileSafely(w % 2 ? a : b, Content(w, r));
        ::_exit(0);
      }
      pids.push_back(pid);
    }
    for (const pid_t pid : pids) ::waitpid(pid, nullptr, 0);
    const std::string now = ReadBytes(a);
    bool whole = false;
    for (int w = 0; w < kWriters; ++w) whole = whole || now == Content(w, 19);
    EXPECT_TRUE(whole) << "round " << round << ": " << now.size() << " bytes";
  }
  WriteBytes(a, "earlier\r\n");
  EXPECT_EQ(InChild([&] {
              const WriteFaults kill = [](WriteStep s) { return s == WriteStep::Write ? ::raise(SIGKILL) : 0; };
              WriteFileSafely(b, Content(0, 0), &kill);
              return 0;
            }),
            100 + SIGKILL);
  EXPECT_EQ(ReadBytes(a), "earlier\r\n");
  EXPECT_TRUE(fs::equivalent(a, b));
}

}  // namespace
}  // namespace tarvelo
