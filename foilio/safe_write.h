// Writing a whole file so that a failure never costs an earlier file.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

struct WriteOutcome {
  int err = 0;           // errno of the step that failed, 0 when the file is written
  bool created = false;  // the file was created (or opened) before anything failed
};

// Writes bytes as the whole content of the file name. A regular file (or a new
// one) is written beside the target and renamed over it only when complete;
// a symbolic link is followed so it stays a link; a device or FIFO is written
// in place; a directory gives EISDIR.
WriteOutcome WriteFileSafely(const std::string& name, std::string_view bytes);

}  // namespace tarvelo
