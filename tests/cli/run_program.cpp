#include "cli/run_program.h"

#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tarvelo::test {

Ran Started(const TempDir& dir, const std::string& command, bool terminal) {
  const std::string errFile = dir.file("stderr"), outFile = dir.file("stdout");
  Ran ran;
  int status = 0;
  if (!terminal) {
    status = std::system((command + " >'" + outFile + "' 2>'" + errFile + "'").c_str());
    ran.out = ReadBytes(outFile);
  } else {
    struct termios raw {};
    cfmakeraw(&raw);
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, &raw, nullptr);
    if (pid == 0) {
      const std::string line = command + " 2>'" + errFile + "'";
      ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    char buf[4096];
    for (;;) {
      const ssize_t n = ::read(master, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // EIO once the program has closed the terminal
      ran.out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(master);
    ::waitpid(pid, &status, 0);
  }
  ran.err = ReadBytes(errFile);
  if (WIFEXITED(status)) ran.status = WEXITSTATUS(status);
  return ran;
}

}  // namespace tarvelo::test
