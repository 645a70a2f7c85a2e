// Reading the text files of the program item by item: numbers separated by
// commas, blanks or line ends, wherever the lines break.
#pragma once

#include <unistd.h>

#include <tarvelo/tarvelo.h>

#include <cerrno>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foilio/file_errors.h"

namespace tarvelo::detail {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr int kEnd = -1;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The bytes of an open file, read block by block so that memory follows what
// has been read, not the size of the file.
class ByteSource {
 public:
  // The block is not cleared first: it is only read where read(2) filled it,
  // and clearing it would cost a short run most of its start-up.
  explicit ByteSource(int fd) : fd_(fd), block_(new char[kBlockSize]), data_(block_.get()) {}
  // The bytes of a file held in memory (standard input read whole).
  explicit ByteSource(std::string_view bytes)
      : fd_(-1), data_(bytes.data()), len_(bytes.size()), done_(true) {}

  int peek() {
    if (pos_ == len_ && !fill()) return kEnd;
    return static_cast<unsigned char>(data_[pos_]);
  }
  int get() {
    const int c = peek();
    if (c != kEnd) ++pos_;
    return c;
  }
  // A read failed: what was read is not the whole file.
  bool failed() const { return failed_; }

 private:
  bool fill() {
    if (done_) return false;
    for (;;) {
      const ssize_t n = ::read(fd_, block_.get(), kBlockSize);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        done_ = true;
        failed_ = n < 0;
        return false;
      }
      pos_ = 0;
      len_ = static_cast<std::size_t>(n);
      return true;
    }
  }

  int fd_;
  std::unique_ptr<char[]> block_;
  const char* data_ = nullptr;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool done_ = false;
  bool failed_ = false;
};


// A number in plain decimal notation: optional sign, digits with an optional
// point (at least one digit), optional exponent. No "inf", "nan" or hex, and
// nothing that overflows a double; a value too small for a double is 0.
bool ParseNumber(std::string_view t, double& value);

// The items after line 1: numbers separated by a comma, blanks or line ends,
// wherever the lines break. Two commas with only blanks between them hold an
// empty item, which is not a number; a comma before a line end only separates.
class ItemReader {
 public:
  enum class Kind { Number, NotANumber, End };
  struct Item {
    Kind kind = Kind::End;
    double value = 0;
    int line = 0;  // line the item stands on, line 1 being the identification line
  };

  explicit ItemReader(ByteSource& in) : in_(in) {}

  // Line 1 without its line end: CR LF, a bare CR or a bare LF.
  std::string FirstLine();
  Item Next();

 private:
  // CR LF, a bare CR and a bare LF each end one line.
  void EndLine();

  ByteSource& in_;
  int line_ = 1;
  bool afterComma_ = false;
};

// The count must be a whole number that an int holds (26, 26.0 and 2.6e1 alike).
bool WholeCount(double v, int& count);

// The Error of content a file's layout does not allow: BadData, about the
// file `name`, for the reason given.
Error DataError(const std::string& name, const std::string& reason);

// Opens a file for reading: regular files only, non-blocking, so that a FIFO
// cannot hang the program nor a device be read without end. Returns the
// descriptor, or -1 with the cause in `cause`.
int OpenForReading(const std::string& name, OpenCause& cause);

}  // namespace tarvelo::detail
