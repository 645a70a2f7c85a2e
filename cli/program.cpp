#include "cli/program.h"

#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

namespace tarvelo {

namespace {

// Standard output, buffered, keeping the reason of the first failed write:
// std::cout would only say that something failed, not what.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool Flush() {
    const char* from = pbase();
    while (from < pptr() && error_ == 0) {
      const ssize_t n = ::write(STDOUT_FILENO, from, static_cast<std::size_t>(pptr() - from));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) error_ = n < 0 ? errno : EIO;
      else from += n;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
  }

  std::array<char, 64 * 1024> buffer_{};
  int error_ = 0;
};

}  // namespace

int RunProgram(const char* program, int argc, char** argv, const Command& command) {
  RemoveTemporaryFileOnSignals();
  OutputBuffer buffer;
  std::ostream out(&buffer);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = command(args, out, std::cerr);
  out.flush();
  if (buffer.error() != 0) {
    std::cerr << program << ": standard output: " << std::strerror(buffer.error()) << '\n';
    return 1;
  }
  return status;
}

}  // namespace tarvelo
