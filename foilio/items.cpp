#include "foilio/items.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "foilio/file_errors.h"

namespace tarvelo::detail {

namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }
bool EndsItem(int c) { return c == kEnd || c == ',' || IsBlank(c) || IsLineEnd(c); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

}  // namespace

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

std::string ItemReader::FirstLine() {
  std::string text;
  for (int c = in_.peek(); c != kEnd && !IsLineEnd(c); c = in_.peek()) {
    text += static_cast<char>(in_.get());
  }
  if (in_.peek() != kEnd) EndLine();
  return text;
}

ItemReader::Item ItemReader::Next() {
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

// CR LF, a bare CR and a bare LF each end one line.
void ItemReader::EndLine() {
  if (in_.get() == '\r' && in_.peek() == '\n') in_.get();
  ++line_;
  afterComma_ = false;
}

bool WholeCount(double v, int& count) {
  if (!(v == std::floor(v))) return false;
  if (v < static_cast<double>(INT_MIN) || v > static_cast<double>(INT_MAX)) return false;
  count = static_cast<int>(v);
  return true;
}

Error DataError(const std::string& name, const std::string& reason) {
  return Error(ErrorKind::BadData, name, reason);
}

int OpenForReading(const std::string& name, OpenCause& cause) {
  if (UnusableName(name)) {
    cause = OpenCause::NameNotValid;
    return -1;
  }
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    cause = ClassifyInputError(errno);
    return -1;
  }
  struct stat st {};
  const bool stated = ::fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode)) {
    ::close(fd);
    cause = !stated ? OpenCause::Failed : S_ISDIR(st.st_mode) ? OpenCause::Directory : OpenCause::NotRegular;
    return -1;
  }
  return fd;
}

}  // namespace tarvelo::detail
