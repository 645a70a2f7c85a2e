// The input foil data file: an identification line, the count of data points
// and four number items per point (x, two thickness parts, camber; percent).
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "foilio/file_errors.h"
#include "foilio/foil_files.h"

namespace tarvelo {

namespace {

using detail::OpenCause;

constexpr std::size_t kBlockSize = 64 * 1024;
// Records are kept aside while the file is read; a count that promises more
// than this reserves no more until the records are really there.
constexpr std::size_t kReserveLimit = 4096;
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
  explicit ByteSource(int fd) : fd_(fd), block_(kBlockSize) {}

  int peek() {
    if (pos_ == len_ && !fill()) return kEnd;
    return static_cast<unsigned char>(block_[pos_]);
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
      const ssize_t n = ::read(fd_, block_.data(), block_.size());
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
  std::vector<char> block_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool done_ = false;
  bool failed_ = false;
};

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }
bool EndsItem(int c) { return c == kEnd || c == ',' || IsBlank(c) || IsLineEnd(c); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

// A number in plain decimal notation: optional sign, digits with an optional
// point (at least one digit), optional exponent. No "inf", "nan" or hex, and
// nothing that overflows a double; a value too small for a double is 0.
bool ParseNumber(std::string_view t, double& value) {
  std::size_t i = 0;
  const std::size_t n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && IsDigit(t[i])) ++i, ++digits;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    while (i < n && IsDigit(t[i])) ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  if (i != n) return false;

  if (t.front() == '+') t.remove_prefix(1);  // from_chars takes no plus sign
  double v = 0;
  const auto res = std::from_chars(t.data(), t.data() + t.size(), v);
  if (res.ec == std::errc() && res.ptr == t.data() + t.size()) {
    value = v;
    return true;
  }
  if (res.ec != std::errc::result_out_of_range) return false;
  // from_chars does not tell overflow from underflow; strtod in the C locale does.
  const std::string copy(t);
  v = strtod_l(copy.c_str(), nullptr, CLocale());
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

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
  std::string FirstLine() {
    std::string text;
    for (int c = in_.peek(); c != kEnd && !IsLineEnd(c); c = in_.peek()) {
      text += static_cast<char>(in_.get());
    }
    if (in_.peek() != kEnd) EndLine();
    return text;
  }

  Item Next() {
    int c = in_.peek();
    for (;; c = in_.peek()) {
      if (c == kEnd) return {Kind::End, 0, line_};
      if (IsBlank(c)) {
        in_.get();
      } else if (IsLineEnd(c)) {
        EndLine();
      } else if (c == ',') {
        in_.get();
        if (afterComma_) return {Kind::NotANumber, 0, line_};
        afterComma_ = true;
      } else {
        break;
      }
    }
    afterComma_ = false;
    const int line = line_;
    std::string text;
    if (c == '"') {
      // A quoted number reads as the number; the quotes stay on one line.
      in_.get();
      for (c = in_.get(); c != '"'; c = in_.get()) {
        if (c == kEnd || IsLineEnd(c)) return {Kind::NotANumber, 0, line};
        text += static_cast<char>(c);
      }
      if (!EndsItem(in_.peek())) return {Kind::NotANumber, 0, line};
      const auto first = text.find_first_not_of(" \t");
      const auto last = text.find_last_not_of(" \t");
      text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    } else {
      while (!EndsItem(in_.peek())) text += static_cast<char>(in_.get());
    }
    double value = 0;
    if (!ParseNumber(text, value)) return {Kind::NotANumber, 0, line};
    return {Kind::Number, value, line};
  }

 private:
  // CR LF, a bare CR and a bare LF each end one line.
  void EndLine() {
    if (in_.get() == '\r' && in_.peek() == '\n') in_.get();
    ++line_;
    afterComma_ = false;
  }

  ByteSource& in_;
  int line_ = 1;
  bool afterComma_ = false;
};

// The count must be a whole number that an int holds (26, 26.0 and 2.6e1 alike).
bool WholeCount(double v, int& count) {
  if (!(v == std::floor(v))) return false;
  if (v < static_cast<double>(INT_MIN) || v > static_cast<double>(INT_MAX)) return false;
  count = static_cast<int>(v);
  return true;
}

std::string Message(const std::string& name, const std::string& text) {
  return "  " + name + " - " + text + " !! ";
}

}  // namespace

bool Read_FoilData(State& s, Display& Picture1) {
  s.ErFlag = kFalse;
  const std::string& name = s.InFile;
  const auto fail = [&s](std::string message) {
    s.ErMsg = std::move(message);
    s.ErFlag = kTrue;
    return false;
  };

  if (detail::UnusableName(name)) {
    return fail(detail::InputMessage(name, OpenCause::NameNotValid));
  }
  // Non-blocking, and regular files only: a FIFO must not hang the window and
  // a device such as /dev/zero must not be read without end.
  const Descriptor file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return fail(detail::InputMessage(name, detail::ClassifyInputError(errno)));
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return fail(detail::InputMessage(name, OpenCause::Failed));
  }
  const std::string unreadable = detail::InputMessage(name, OpenCause::Failed);

  ByteSource in(file.get());
  ItemReader items(in);
  std::string id = items.FirstLine();

  const ItemReader::Item count = items.Next();
  if (in.failed()) return fail(unreadable);
  int nd = 0;
  if (count.kind != ItemReader::Kind::Number || !WholeCount(count.value, nd)) {
    return fail(Message(name, "No valid number of data points"));
  }
  // Too few points for the spline: the run ends here, before any record is read.
  if (nd <= 0 || nd <= s.ncp) {
    Picture1.Print({"*** Insufficient data. For", s.ncp, " control points,"});
    Picture1.Print({"  you need at least", s.ncp + 1, " data points. ****"});
    return false;
  }

  // Records are read aside; the shared data change only when the whole file is good.
  std::vector<std::array<double, 4>> records;
  records.reserve(std::min(static_cast<std::size_t>(nd), kReserveLimit));
  while (records.size() < static_cast<std::size_t>(nd)) {
    std::array<double, 4> r{};
    for (std::size_t k = 0; k < r.size(); ++k) {
      const ItemReader::Item item = items.Next();
      if (in.failed()) return fail(unreadable);
      if (item.kind == ItemReader::Kind::End) {
        return fail(Message(name, "File ends after " + std::to_string(records.size()) + " of " +
                                      std::to_string(nd) + " data points"));
      }
      // A thickness whose two parts overflow together is as unusable as an item that overflows.
      if (item.kind == ItemReader::Kind::NotANumber ||
          (k == 2 && !std::isfinite(r[1] + item.value))) {
        return fail(Message(name, "Invalid number in line " + std::to_string(item.line)));
      }
      r[k] = item.value;
    }
    records.push_back(r);
  }
  if (in.failed()) return fail(unreadable);

  s.IDLine = std::move(id);
  s.nd = nd;
  s.xin.allocate(1, nd);
  s.yd.allocate(1, nd, 1, 2);
  s.ymax.allocate(1, 2);
  s.rms.allocate(1, 2);
  s.dy.allocate(0, nd, 1, 2);
  s.ymax(1) = 0;
  s.ymax(2) = 0;
  for (int i = 1; i <= nd; ++i) {
    const std::array<double, 4>& r = records[static_cast<std::size_t>(i - 1)];
    s.xv = r[0];
    s.t1v = r[1];
    s.t2v = r[2];
    s.cv = r[3];
    s.xin(i) = s.xv / 100;
    s.yd(i, 1) = (s.t1v + s.t2v) / 100;
    s.yd(i, 2) = s.cv / 100;
    if (s.yd(i, 1) > s.ymax(1)) s.ymax(1) = s.yd(i, 1);
    if (s.yd(i, 2) > s.ymax(2)) s.ymax(2) = s.yd(i, 2);
  }
  return true;
}

}  // namespace tarvelo
