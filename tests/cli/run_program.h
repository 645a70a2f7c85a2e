// The programs run as users run them, in a shell, for the tests that need
// their own start or a process of their own.
#pragma once

#include <string>

#include "support/test_support.h"

namespace tarvelo::test {

struct Ran {
  int status = -1;  // the exit status, or -1 when the program did not exit
  std::string out;
  std::string err;
};

// Runs a shell command with standard error to a file and standard output to
// a file or, with `terminal`, to a raw pseudo-terminal (its bytes arrive
// as written, no line end added). The files are in `dir`.
Ran Started(const TempDir& dir, const std::string& command, bool terminal = false);

}  // namespace tarvelo::test
